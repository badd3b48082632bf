#include "pemblon/core/StreamManip.h"

namespace PBN {

template class StreamManip<std::ostream, bool>;
template class StreamManip<std::ostream, char>;
template class StreamManip<std::ostream, unsigned char>;
template class StreamManip<std::ostream, short>;
template class StreamManip<std::ostream, unsigned short>;
template class StreamManip<std::ostream, int>;
template class StreamManip<std::ostream, unsigned int>;
template class StreamManip<std::ostream, long>;
template class StreamManip<std::ostream, unsigned long>;
template class StreamManip<std::ostream, wxLongLong>;
template class StreamManip<std::ostream, wxULongLong>;
template class StreamManip<std::ostream, Strings::ostring>;
template class StreamManip<std::ostream, wxDateTime>;

} // namespace PBN
