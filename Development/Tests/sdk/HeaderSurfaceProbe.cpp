// Compiled by scripts/sdk-compat.sh once per SDK header (-DPROBE=0..9), never linked. Each header must make complete
// exactly the classes the vendor's header of that name makes complete, directly or through its includes, and only
// FMXTypes.h may bring TRUE and FALSE: a stand-in that offers more lets sources compile here that fail there.
#include <type_traits>

enum : unsigned
{
    kClient = 1u << 0,   // _fmxcpt
    kTypes = 1u << 1,    // QuadChar, Locale
    kText = 1u << 2,     // Text
    kStyle = 1u << 3,    // CharacterStyle, CharacterStyle::Color
    kData = 1u << 4,     // Data
    kCalc = 1u << 5,     // DataVect, RowVect, ExprEnv
    kFixPt = 1u << 6,    // FixPt
    kDateTime = 1u << 7, // DateTime
    kBinary = 1u << 8    // BinaryData
};

#if PROBE == 0
#include "FMWrapper/FMXExtern.h"
constexpr unsigned kExpected = 0;
#elif PROBE == 1
#include "FMWrapper/FMXClient.h"
constexpr unsigned kExpected = kClient;
#elif PROBE == 2
#include "FMWrapper/FMXTypes.h"
constexpr unsigned kExpected = kClient | kTypes;
#elif PROBE == 3
#include "FMWrapper/FMXText.h"
constexpr unsigned kExpected = kClient | kText;
#elif PROBE == 4
#include "FMWrapper/FMXTextStyle.h"
constexpr unsigned kExpected = kClient | kStyle;
#elif PROBE == 5
#include "FMWrapper/FMXData.h"
constexpr unsigned kExpected = kClient | kStyle | kData;
#elif PROBE == 6
// FMXCalcEngine.h needs QuadChar from an earlier include; on its own it must not compile (checked by the script).
#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXCalcEngine.h"
constexpr unsigned kExpected = kClient | kTypes | kCalc;
#elif PROBE == 7
#include "FMWrapper/FMXFixPt.h"
constexpr unsigned kExpected = kClient | kFixPt;
#elif PROBE == 8
#include "FMWrapper/FMXDateTime.h"
constexpr unsigned kExpected = kClient | kDateTime;
#elif PROBE == 9
#include "FMWrapper/FMXBinaryData.h"
constexpr unsigned kExpected = kClient | kTypes | kBinary;
#else
#error "PROBE must be 0 to 9"
#endif

// Declaring a class again never completes it, so every name can be asked about whatever the header declared.
namespace fmx
{
struct _fmxcpt;
class QuadChar;
class QuadCharUniquePtr;
class Locale;
class LocaleUniquePtr;
class Text;
class TextUniquePtr;
class CharacterStyle;
class CharacterStyleUniquePtr;
class ColorUniquePtr;
class Data;
class DataUniquePtr;
class DataVect;
class DataVectUniquePtr;
class RowVect;
class RowVectUniquePtr;
class ExprEnv;
class ExprEnvUniquePtr;
class FixPt;
class FixPtUniquePtr;
class DateTime;
class DateTimeUniquePtr;
class BinaryData;
class BinaryDataUniquePtr;
}

template <typename T, typename = void>
struct cIsComplete : std::false_type
{
};
template <typename T>
struct cIsComplete<T, std::void_t<decltype(sizeof(T))>> : std::true_type
{
};

#define EXPECT_COMPLETE(group, name)                                                                                   \
    static_assert(cIsComplete<fmx::name>::value == ((kExpected & (group)) != 0),                                       \
                  "fmx::" #name ": complete here but not in the vendor's header, or the other way round")

EXPECT_COMPLETE(kClient, _fmxcpt);
EXPECT_COMPLETE(kTypes, QuadChar);
EXPECT_COMPLETE(kTypes, QuadCharUniquePtr);
EXPECT_COMPLETE(kTypes, Locale);
EXPECT_COMPLETE(kTypes, LocaleUniquePtr);
EXPECT_COMPLETE(kText, Text);
EXPECT_COMPLETE(kText, TextUniquePtr);
EXPECT_COMPLETE(kStyle, CharacterStyle);
EXPECT_COMPLETE(kStyle, CharacterStyleUniquePtr);
EXPECT_COMPLETE(kStyle, ColorUniquePtr);
EXPECT_COMPLETE(kData, Data);
EXPECT_COMPLETE(kData, DataUniquePtr);
EXPECT_COMPLETE(kCalc, DataVect);
EXPECT_COMPLETE(kCalc, DataVectUniquePtr);
EXPECT_COMPLETE(kCalc, RowVect);
EXPECT_COMPLETE(kCalc, RowVectUniquePtr);
EXPECT_COMPLETE(kCalc, ExprEnv);
EXPECT_COMPLETE(kCalc, ExprEnvUniquePtr);
EXPECT_COMPLETE(kFixPt, FixPt);
EXPECT_COMPLETE(kFixPt, FixPtUniquePtr);
EXPECT_COMPLETE(kDateTime, DateTime);
EXPECT_COMPLETE(kDateTime, DateTimeUniquePtr);
EXPECT_COMPLETE(kBinary, BinaryData);
EXPECT_COMPLETE(kBinary, BinaryDataUniquePtr);

#define PROBE_WITH_TYPES (PROBE == 2 || PROBE == 6 || PROBE == 9)
#if defined(TRUE) != PROBE_WITH_TYPES || defined(FALSE) != PROBE_WITH_TYPES
#error "TRUE and FALSE must come from FMXTypes.h and from nothing else"
#endif
