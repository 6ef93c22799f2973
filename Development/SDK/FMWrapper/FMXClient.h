// Stand-in for the host SDK header of the same name, written from the published interface description.
#ifndef FMXCLIENT_H_INCLUDED
#define FMXCLIENT_H_INCLUDED

#include <stdexcept>
#include <memory>
#include <new>
#include "FMWrapper/FMXExtern.h"

extern "C++"
{
namespace fmx
{
    // The host reports failure of an SDK call in this record; Check() turns it into a C++ exception.
    struct _fmxcpt
    {
        enum
        {
            kNoErr = 0,
            kBadAlloc = 1,
            kUnknown = 2
        };

        int32 m_vers;
        int32 m_code;

        inline _fmxcpt() : m_vers(1), m_code(kNoErr) {}

        inline void Check()
        {
            switch (m_code)
            {
            case kNoErr:
                break;
            case kBadAlloc:
                throw std::bad_alloc();
            case kUnknown:
                throw std::exception();
            }
        }
    };
} // namespace fmx
}

#endif
