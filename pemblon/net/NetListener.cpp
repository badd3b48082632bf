#include "pemblon/net/NetListener.h"

namespace PBN::Net {

NetListener::NetListener() = default;
NetListener::NetListener(const NetListener&) {}
NetListener& NetListener::operator=(const NetListener&) {
    return *this;
}
NetListener::~NetListener() = default;

void NetListener::pbnNetBegin(const NetHandle*) {}
void NetListener::pbnNetProgress(const NetHandle*, NetEvent&) {}
void NetListener::pbnNetEnd(const NetHandle*) {}

} // namespace PBN::Net
