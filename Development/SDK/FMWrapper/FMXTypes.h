// Stand-in for the host SDK header of the same name, written from the published interface description.
#ifndef _h_Types_
#define _h_Types_

#include "FMWrapper/FMXClient.h"

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

extern "C++" {
namespace fmx
{

    class QuadChar
    {
    public:
        inline const QuadChar & operator=(const QuadChar &value);
        inline uchar operator[](int i);
        inline const uchar operator[](int i) const;
        inline bool operator==(const QuadChar &value) const;
        inline bool operator!=(const QuadChar &value) const;
        inline bool operator<(const QuadChar &value) const;
        inline bool operator<=(const QuadChar &value) const;
        inline bool operator>(const QuadChar &value) const;
        inline bool operator>=(const QuadChar &value) const;
        inline uint32 GetMacType() const;
        inline void SetMacType(uint32 value);
        inline void operator delete(void *obj);

    private:
        QuadChar();
        QuadChar(const QuadChar &);
    };

    class Locale
    {
    public:
        enum Type
        {
            kType_None = 0, kType_System = 1, kType_UnicodeRaw = 2, kType_UnicodeStandard = 3, kType_Catalog = 4,
            kType_CAT = 16, kType_CRO, kType_CES, kType_DAN, kType_NLD, kType_ENG, kType_FIN, kType_FIN_fv, kType_FRA,
            kType_DEU, kType_DEU_ae, kType_ELL, kType_HUN, kType_ISL, kType_ITA, kType_JPN, kType_NOR, kType_POL,
            kType_POR, kType_RON, kType_RUS, kType_SLK, kType_SLV, kType_SPA, kType_SPA_tr, kType_SVE, kType_SVE_fv,
            kType_TUR, kType_UKR, kType_CHI, kType_CHI_stroke, kType_HEB, kType_HIN, kType_ARA, kType_EST, kType_LIT,
            kType_LAV, kType_SRP, kType_FAS, kType_BUL, kType_VIE, kType_THA, kType_ELL_Mixed, kType_BEN, kType_TEL,
            kType_MAR, kType_TAM, kType_GUJ, kType_KAN, kType_MAL, kType_PAN, kType_ORI, kType_SIN, kType_URD,
            kType_DIV, kType_BUR, kType_SAN, kType_LAO, kType_KHM, kType_BOD,
            kType_KOR = 76,
            kType_Invalid = 0xFFFF
        };

        inline Locale & operator=(const Locale &rhs);
        inline void operator delete(void *obj);

    private:
        Locale(Type);
        Locale(const Locale &);
    };

    class QuadCharUniquePtr : public std::unique_ptr<QuadChar>
    {
        typedef QuadCharUniquePtr UpCaster;
    public:
        inline QuadCharUniquePtr();
        inline QuadCharUniquePtr(char c0, char c1, char c2, char c3);
        inline QuadCharUniquePtr(const QuadChar &value);
    };
    class LocaleUniquePtr : public std::unique_ptr<Locale>
    {
        typedef LocaleUniquePtr UpCaster;
    public:
        inline LocaleUniquePtr(Locale::Type inputType = Locale::kType_System);
        inline LocaleUniquePtr(const Locale &copyConstruct);
    };
} // namespace fmx
}

extern "C" {
const fmx::QuadChar FMX_API *FM_QuadChar_operatorAS(void *_self, const fmx::QuadChar &value, fmx::_fmxcpt &_x) noexcept;
fmx::uchar FMX_API FM_QuadChar_operatorAR(void *_self, int i, fmx::_fmxcpt &_x) noexcept;
const fmx::uchar FMX_API FM_QuadChar_operatorCAR(const void *_self, int i, fmx::_fmxcpt &_x) noexcept;
bool FMX_API FM_QuadChar_operatorEQ(const void *_self, const fmx::QuadChar &value, fmx::_fmxcpt &_x) noexcept;
bool FMX_API FM_QuadChar_operatorNE(const void *_self, const fmx::QuadChar &value, fmx::_fmxcpt &_x) noexcept;
bool FMX_API FM_QuadChar_operatorLT(const void *_self, const fmx::QuadChar &value, fmx::_fmxcpt &_x) noexcept;
bool FMX_API FM_QuadChar_operatorLE(const void *_self, const fmx::QuadChar &value, fmx::_fmxcpt &_x) noexcept;
bool FMX_API FM_QuadChar_operatorGT(const void *_self, const fmx::QuadChar &value, fmx::_fmxcpt &_x) noexcept;
bool FMX_API FM_QuadChar_operatorGE(const void *_self, const fmx::QuadChar &value, fmx::_fmxcpt &_x) noexcept;
fmx::uint32 FMX_API FM_QuadChar_GetMacType(const void *_self, fmx::_fmxcpt &_x) noexcept;
void FMX_API FM_QuadChar_SetMacType(void *_self, fmx::uint32 value, fmx::_fmxcpt &_x) noexcept;
void FMX_API FM_QuadChar_Delete(void *_self, fmx::_fmxcpt &_x) noexcept;
fmx::Locale FMX_API *FM_Locale_operatorAS(void *_self, const fmx::Locale &rhs, fmx::_fmxcpt &_x) noexcept;
void FMX_API FM_Locale_Delete(void *_self, fmx::_fmxcpt &_x) noexcept;
fmx::QuadChar FMX_API *FM_QuadChar_Constructor1(fmx::_fmxcpt &_x) noexcept;
fmx::QuadChar FMX_API *FM_QuadChar_Constructor2(char c0, char c1, char c2, char c3, fmx::_fmxcpt &_x) noexcept;
fmx::QuadChar FMX_API *FM_QuadChar_Constructor3(const fmx::QuadChar &value, fmx::_fmxcpt &_x) noexcept;
fmx::Locale FMX_API *FM_Locale_Constructor1(fmx::int32 inputType, fmx::_fmxcpt &_x) noexcept;
fmx::Locale FMX_API *FM_Locale_Constructor2(const fmx::Locale &copyConstruct, fmx::_fmxcpt &_x) noexcept;
}

extern "C++" {
namespace fmx
{
    inline const QuadChar & QuadChar::operator=(const QuadChar &value) { _fmxcpt _x; auto r = FM_QuadChar_operatorAS(this, value, _x); _x.Check(); return *r; }
    inline uchar QuadChar::operator[](int i) { _fmxcpt _x; auto r = FM_QuadChar_operatorAR(this, i, _x); _x.Check(); return r; }
    inline const uchar QuadChar::operator[](int i) const { _fmxcpt _x; auto r = FM_QuadChar_operatorCAR(this, i, _x); _x.Check(); return r; }
    inline bool QuadChar::operator==(const QuadChar &value) const { _fmxcpt _x; auto r = FM_QuadChar_operatorEQ(this, value, _x); _x.Check(); return r; }
    inline bool QuadChar::operator!=(const QuadChar &value) const { _fmxcpt _x; auto r = FM_QuadChar_operatorNE(this, value, _x); _x.Check(); return r; }
    inline bool QuadChar::operator<(const QuadChar &value) const { _fmxcpt _x; auto r = FM_QuadChar_operatorLT(this, value, _x); _x.Check(); return r; }
    inline bool QuadChar::operator<=(const QuadChar &value) const { _fmxcpt _x; auto r = FM_QuadChar_operatorLE(this, value, _x); _x.Check(); return r; }
    inline bool QuadChar::operator>(const QuadChar &value) const { _fmxcpt _x; auto r = FM_QuadChar_operatorGT(this, value, _x); _x.Check(); return r; }
    inline bool QuadChar::operator>=(const QuadChar &value) const { _fmxcpt _x; auto r = FM_QuadChar_operatorGE(this, value, _x); _x.Check(); return r; }
    inline uint32 QuadChar::GetMacType() const { _fmxcpt _x; auto r = FM_QuadChar_GetMacType(this, _x); _x.Check(); return r; }
    inline void QuadChar::SetMacType(uint32 value) { _fmxcpt _x; FM_QuadChar_SetMacType(this, value, _x); _x.Check(); }
    inline void QuadChar::operator delete(void *obj) { _fmxcpt _x; FM_QuadChar_Delete(obj, _x); _x.Check(); }
    inline Locale & Locale::operator=(const Locale &rhs) { _fmxcpt _x; auto r = FM_Locale_operatorAS(this, rhs, _x); _x.Check(); return *r; }
    inline void Locale::operator delete(void *obj) { _fmxcpt _x; FM_Locale_Delete(obj, _x); _x.Check(); }
    inline QuadCharUniquePtr::QuadCharUniquePtr() : std::unique_ptr<QuadChar>() { _fmxcpt _x; reset(FM_QuadChar_Constructor1(_x)); _x.Check(); }
    inline QuadCharUniquePtr::QuadCharUniquePtr(char c0, char c1, char c2, char c3) : std::unique_ptr<QuadChar>() { _fmxcpt _x; reset(FM_QuadChar_Constructor2(c0, c1, c2, c3, _x)); _x.Check(); }
    inline QuadCharUniquePtr::QuadCharUniquePtr(const QuadChar &value) : std::unique_ptr<QuadChar>() { _fmxcpt _x; reset(FM_QuadChar_Constructor3(value, _x)); _x.Check(); }
    inline LocaleUniquePtr::LocaleUniquePtr(Locale::Type inputType) : std::unique_ptr<Locale>() { _fmxcpt _x; reset(FM_Locale_Constructor1(inputType, _x)); _x.Check(); }
    inline LocaleUniquePtr::LocaleUniquePtr(const Locale &copyConstruct) : std::unique_ptr<Locale>() { _fmxcpt _x; reset(FM_Locale_Constructor2(copyConstruct, _x)); _x.Check(); }
} // namespace fmx
}

#endif
