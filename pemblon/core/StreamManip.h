#pragma once

#include <ostream>
#include <type_traits>

#include <wx/datetime.h>
#include <wx/longlong.h>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {

// A stream manipulator that carries one argument: written to a stream, it calls its function
// on the stream and the value.
template <typename Stream, typename T> class PBN_API StreamManip {
public:
    typedef Stream& (*Function)(Stream&, const T&);

    StreamManip(Function fn, const T& value);
    StreamManip(const StreamManip& other);
    StreamManip& operator=(const StreamManip& other);
    virtual ~StreamManip();

    // fn(s, value); a null function leaves the stream untouched.
    Stream& apply(Stream& s) const;

private:
    Function m_fn;
    T m_value;
};

template <typename Stream, typename T>
StreamManip<Stream, T>::StreamManip(Function fn, const T& value) : m_fn(fn), m_value(value) {}

template <typename Stream, typename T>
StreamManip<Stream, T>::StreamManip(const StreamManip& other) : m_fn(other.m_fn), m_value(other.m_value) {}

template <typename Stream, typename T>
StreamManip<Stream, T>& StreamManip<Stream, T>::operator=(const StreamManip& other) {
    if (this != &other) {
        m_fn = other.m_fn;
        m_value = other.m_value;
    }
    return *this;
}

template <typename Stream, typename T> StreamManip<Stream, T>::~StreamManip() {}

template <typename Stream, typename T> Stream& StreamManip<Stream, T>::apply(Stream& s) const {
    return m_fn ? m_fn(s, m_value) : s;
}

// The stream type comes from the manipulator alone, so that a derived stream binds too.
template <typename Stream, typename T>
Stream& operator<<(std::type_identity_t<Stream>& s, const StreamManip<Stream, T>& m) {
    return m.apply(s);
}

// Built once in the library for the common value types.
extern template class StreamManip<std::ostream, bool>;
extern template class StreamManip<std::ostream, char>;
extern template class StreamManip<std::ostream, unsigned char>;
extern template class StreamManip<std::ostream, short>;
extern template class StreamManip<std::ostream, unsigned short>;
extern template class StreamManip<std::ostream, int>;
extern template class StreamManip<std::ostream, unsigned int>;
extern template class StreamManip<std::ostream, long>;
extern template class StreamManip<std::ostream, unsigned long>;
extern template class StreamManip<std::ostream, wxLongLong>;
extern template class StreamManip<std::ostream, wxULongLong>;
extern template class StreamManip<std::ostream, Strings::ostring>;
extern template class StreamManip<std::ostream, wxDateTime>;

} // namespace PBN
