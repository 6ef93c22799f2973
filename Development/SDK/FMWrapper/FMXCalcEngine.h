// Stand-in for the host SDK header of the same name, written from the published interface description.
#ifndef _h_DBCalcEngine_
#define _h_DBCalcEngine_

#include "FMWrapper/FMXClient.h"

extern "C++" {
namespace fmx
{
    // No QuadChar here: the vendor's header uses it without declaring it, so an includer must bring
    // FMXTypes.h (or FMXBinaryData.h) first. Declaring it would let sources compile that fail there.
    class Text;
    class FixPt;
    class DateTime;
    class BinaryData;
    class Data;
    class DataVect;
    class ExprEnv;

    class DataVect
    {
    public:
        inline uint32 Size() const;
        inline void Clear();
        inline bool IsEmpty() const;
        inline void PushBack(const Data &data);
        inline Data * PopBack();
        inline const Data & At(uint32 position) const;
        inline const Text & AtAsText(uint32 position) const;
        inline const FixPt & AtAsNumber(uint32 position) const;
        inline const DateTime & AtAsDate(uint32 position) const;
        inline const DateTime & AtAsTime(uint32 position) const;
        inline const DateTime & AtAsTimeStamp(uint32 position) const;
        inline bool AtAsBoolean(uint32 position) const;
        inline const BinaryData & AtAsBinaryData(uint32 position) const;
        inline void operator delete(void *obj);

    private:
        DataVect();
        DataVect(const DataVect &);
    };

    class RowVect
    {
    public:
        inline uint32 Size() const;
        inline bool IsEmpty() const;
        inline const DataVect & At(uint32 position) const;
        inline void operator delete(void *obj);

    private:
        RowVect();
        RowVect(const RowVect &);
    };

    FMX_PROCPTR(errcode, ExtPluginType)(short functionId, const ExprEnv &env, const DataVect &parms, Data &result);

    class ExprEnv
    {
    public:
        enum
        {
            kMayEvaluateOnServer = 0x00000001,
            kDisplayCalcFields = 0x00000100,
            kDisplayAutoEnter = 0x00000200,
            kDisplayValidation = 0x00000400,
            kDisplayCustomFunctions = 0x00000800,
            kDisplayPrivileges = 0x00001000,
            kDisplayInFuture1 = 0x00002000,
            kDisplayInFuture2 = 0x00004000,
            kDisplayGeneric = 0x00008000,
            kDisplayInAllDialogs = 0x0000FF00,
            kMacCompatible = 0x00000002,
            kWinCompatible = 0x00000004,
            kServerCompatible = 0x00000008,
            kIOSCompatible = 0x00000010,
            kCustomWebCompatible = 0x00000020,
            kWebDirectCompatible = 0x00000040,
            kAllDeviceCompatible = 0x0000007E,
            kFutureCompatible = 0x00FF007E,
            kPluginErrResult1 = 1552, kPluginErrResult2, kPluginErrResult3, kPluginErrResult4,
            kPluginErrResult5, kPluginErrResult6, kPluginErrResult7, kPluginErrResult8,
            kGet_FileName = 1005,
            kConvert_PosixPath = 1,
            kConvert_WinPath = 2,
            kConvert_URLPath = 3
        };

        inline errcode Evaluate(const Text &expression, Data &result) const;
        inline errcode EvaluateGetFunction(short functionValue, Data &result) const;
        inline errcode EvaluateConvertToFileMakerPath(const Text &inPath, int32 inFormat, Text &outFMPath) const;
        inline errcode EvaluateConvertFromFileMakerPath(const Text &inFMPath, int32 inFormat, Text &outPath) const;
        inline errcode ExecuteFileSQL(const Text &expression, const Text &filename, const DataVect &parameters, RowVect &result) const;
        inline void operator delete(void *obj);
        inline errcode ExecuteFileSQLTextResult(const Text &expression, const Text &filename, const DataVect &parameters, Data &result, uint16 colSep, uint16 rowSep) const;
        inline ptrtype SessionID() const;
        inline ptrtype FileID() const;
        static inline errcode RegisterExternalFunction(const QuadChar &pluginId, short functionId, const Text &functionName, const Text &functionPrototype, short minArgs, short maxArgs, uint32 compatibleOnFlags, ExtPluginType funcPtr);
        static inline errcode UnRegisterExternalFunction(const QuadChar &pluginId, short functionId);
        static inline errcode RegisterExternalFunctionEx(const QuadChar &pluginId, short functionId, const Text &functionName, const Text &functionPrototype, const Text &functionDescription, short minArgs, short maxArgs, uint32 compatibleOnFlags, ExtPluginType funcPtr);
        static inline errcode RegisterScriptStep(const QuadChar &pluginId, short scriptStepId, const Text &scriptStepName, const Text &scriptStepDefinition, const Text &scriptStepDescription, uint32 compatibleOnFlags, ExtPluginType funcPtr);
        static inline errcode UnRegisterScriptStep(const QuadChar &pluginId, short scriptStepId);

    private:
        ExprEnv();
        ExprEnv(const ExprEnv &);
    };

    class DataVectUniquePtr : public std::unique_ptr<DataVect>
    {
        typedef DataVectUniquePtr UpCaster;
    public:
        inline DataVectUniquePtr();
    };
    class RowVectUniquePtr : public std::unique_ptr<RowVect>
    {
        typedef RowVectUniquePtr UpCaster;
    public:
        inline RowVectUniquePtr();
    };
    class ExprEnvUniquePtr : public std::unique_ptr<ExprEnv>
    {
        typedef ExprEnvUniquePtr UpCaster;
    public:
        inline ExprEnvUniquePtr();
    };
} // namespace fmx
}

extern "C" {
fmx::uint32 FMX_API FM_DataVect_Size(const void *_self, fmx::_fmxcpt &_x) noexcept;
void FMX_API FM_DataVect_Clear(void *_self, fmx::_fmxcpt &_x) noexcept;
bool FMX_API FM_DataVect_IsEmpty(const void *_self, fmx::_fmxcpt &_x) noexcept;
void FMX_API FM_DataVect_PushBack(void *_self, const fmx::Data &data, fmx::_fmxcpt &_x) noexcept;
fmx::Data FMX_API *FM_DataVect_PopBack(void *_self, fmx::_fmxcpt &_x) noexcept;
const fmx::Data FMX_API *FM_DataVect_At(const void *_self, fmx::uint32 position, fmx::_fmxcpt &_x) noexcept;
const fmx::Text FMX_API *FM_DataVect_AtAsText(const void *_self, fmx::uint32 position, fmx::_fmxcpt &_x) noexcept;
const fmx::FixPt FMX_API *FM_DataVect_AtAsNumber(const void *_self, fmx::uint32 position, fmx::_fmxcpt &_x) noexcept;
const fmx::DateTime FMX_API *FM_DataVect_AtAsDate(const void *_self, fmx::uint32 position, fmx::_fmxcpt &_x) noexcept;
const fmx::DateTime FMX_API *FM_DataVect_AtAsTime(const void *_self, fmx::uint32 position, fmx::_fmxcpt &_x) noexcept;
const fmx::DateTime FMX_API *FM_DataVect_AtAsTimeStamp(const void *_self, fmx::uint32 position, fmx::_fmxcpt &_x) noexcept;
bool FMX_API FM_DataVect_AtAsBoolean(const void *_self, fmx::uint32 position, fmx::_fmxcpt &_x) noexcept;
const fmx::BinaryData FMX_API *FM_DataVect_AtAsBinaryData(const void *_self, fmx::uint32 position, fmx::_fmxcpt &_x) noexcept;
void FMX_API FM_DataVect_Delete(void *_self, fmx::_fmxcpt &_x) noexcept;
fmx::uint32 FMX_API FM_RowVect_Size(const void *_self, fmx::_fmxcpt &_x) noexcept;
bool FMX_API FM_RowVect_IsEmpty(const void *_self, fmx::_fmxcpt &_x) noexcept;
const fmx::DataVect FMX_API *FM_RowVect_At(const void *_self, fmx::uint32 position, fmx::_fmxcpt &_x) noexcept;
void FMX_API FM_RowVect_Delete(void *_self, fmx::_fmxcpt &_x) noexcept;
fmx::errcode FMX_API FM_ExprEnv_Evaluate(const void *_self, const fmx::Text &expression, fmx::Data &result, fmx::_fmxcpt &_x) noexcept;
fmx::errcode FMX_API FM_ExprEnv_EvaluateGetFunction(const void *_self, short functionValue, fmx::Data &result, fmx::_fmxcpt &_x) noexcept;
fmx::errcode FMX_API FM_ExprEnv_EvaluateConvertToFileMakerPath(const void *_self, const fmx::Text &inPath, fmx::int32 inFormat, fmx::Text &outFMPath, fmx::_fmxcpt &_x) noexcept;
fmx::errcode FMX_API FM_ExprEnv_EvaluateConvertFromFileMakerPath(const void *_self, const fmx::Text &inFMPath, fmx::int32 inFormat, fmx::Text &outPath, fmx::_fmxcpt &_x) noexcept;
fmx::errcode FMX_API FM_ExprEnv_ExecuteFileSQL(const void *_self, const fmx::Text &expression, const fmx::Text &filename, const fmx::DataVect &parameters, fmx::RowVect &result, fmx::_fmxcpt &_x) noexcept;
void FMX_API FM_ExprEnv_Delete(void *_self, fmx::_fmxcpt &_x) noexcept;
fmx::errcode FMX_API FM_ExprEnv_ExecuteFileSQLTextResult(const void *_self, const fmx::Text &expression, const fmx::Text &filename, const fmx::DataVect &parameters, fmx::Data &result, fmx::uint16 colSep, fmx::uint16 rowSep, fmx::_fmxcpt &_x) noexcept;
fmx::ptrtype FMX_API FM_ExprEnv_SessionID(const void *_self, fmx::_fmxcpt &_x) noexcept;
fmx::ptrtype FMX_API FM_ExprEnv_FileID(const void *_self, fmx::_fmxcpt &_x) noexcept;
fmx::errcode FMX_API FM_ExprEnv_RegisterExternalFunction(const fmx::QuadChar &pluginId, short functionId, const fmx::Text &functionName, const fmx::Text &functionPrototype, short minArgs, short maxArgs, fmx::uint32 compatibleOnFlags, fmx::ExtPluginType funcPtr, fmx::_fmxcpt &_x) noexcept;
fmx::errcode FMX_API FM_ExprEnv_UnRegisterExternalFunction(const fmx::QuadChar &pluginId, short functionId, fmx::_fmxcpt &_x) noexcept;
fmx::errcode FMX_API FM_ExprEnv_RegisterExternalFunctionEx(const fmx::QuadChar &pluginId, short functionId, const fmx::Text &functionName, const fmx::Text &functionPrototype, const fmx::Text &functionDescription, short minArgs, short maxArgs, fmx::uint32 compatibleOnFlags, fmx::ExtPluginType funcPtr, fmx::_fmxcpt &_x) noexcept;
fmx::errcode FMX_API FM_ExprEnv_RegisterScriptStep(const fmx::QuadChar &pluginId, short scriptStepId, const fmx::Text &scriptStepName, const fmx::Text &scriptStepDefinition, const fmx::Text &scriptStepDescription, fmx::uint32 compatibleOnFlags, fmx::ExtPluginType funcPtr, fmx::_fmxcpt &_x);
fmx::errcode FMX_API FM_ExprEnv_UnRegisterScriptStep(const fmx::QuadChar &pluginId, short scriptStepId, fmx::_fmxcpt &_x);
fmx::DataVect FMX_API *FM_DataVect_Constructor1(fmx::_fmxcpt &_x) noexcept;
fmx::RowVect FMX_API *FM_RowVect_Constructor1(fmx::_fmxcpt &_x) noexcept;
fmx::ExprEnv FMX_API *FM_ExprEnv_Constructor1(fmx::_fmxcpt &_x) noexcept;
}

extern "C++" {
namespace fmx
{
    inline uint32 DataVect::Size() const { _fmxcpt _x; auto r = FM_DataVect_Size(this, _x); _x.Check(); return r; }
    inline void DataVect::Clear() { _fmxcpt _x; FM_DataVect_Clear(this, _x); _x.Check(); }
    inline bool DataVect::IsEmpty() const { _fmxcpt _x; auto r = FM_DataVect_IsEmpty(this, _x); _x.Check(); return r; }
    inline void DataVect::PushBack(const Data &data) { _fmxcpt _x; FM_DataVect_PushBack(this, data, _x); _x.Check(); }
    inline Data * DataVect::PopBack() { _fmxcpt _x; auto r = FM_DataVect_PopBack(this, _x); _x.Check(); return r; }
    inline const Data & DataVect::At(uint32 position) const { _fmxcpt _x; auto r = FM_DataVect_At(this, position, _x); _x.Check(); return *r; }
    inline const Text & DataVect::AtAsText(uint32 position) const { _fmxcpt _x; auto r = FM_DataVect_AtAsText(this, position, _x); _x.Check(); return *r; }
    inline const FixPt & DataVect::AtAsNumber(uint32 position) const { _fmxcpt _x; auto r = FM_DataVect_AtAsNumber(this, position, _x); _x.Check(); return *r; }
    inline const DateTime & DataVect::AtAsDate(uint32 position) const { _fmxcpt _x; auto r = FM_DataVect_AtAsDate(this, position, _x); _x.Check(); return *r; }
    inline const DateTime & DataVect::AtAsTime(uint32 position) const { _fmxcpt _x; auto r = FM_DataVect_AtAsTime(this, position, _x); _x.Check(); return *r; }
    inline const DateTime & DataVect::AtAsTimeStamp(uint32 position) const { _fmxcpt _x; auto r = FM_DataVect_AtAsTimeStamp(this, position, _x); _x.Check(); return *r; }
    inline bool DataVect::AtAsBoolean(uint32 position) const { _fmxcpt _x; auto r = FM_DataVect_AtAsBoolean(this, position, _x); _x.Check(); return r; }
    inline const BinaryData & DataVect::AtAsBinaryData(uint32 position) const { _fmxcpt _x; auto r = FM_DataVect_AtAsBinaryData(this, position, _x); _x.Check(); return *r; }
    inline void DataVect::operator delete(void *obj) { _fmxcpt _x; FM_DataVect_Delete(obj, _x); _x.Check(); }
    inline uint32 RowVect::Size() const { _fmxcpt _x; auto r = FM_RowVect_Size(this, _x); _x.Check(); return r; }
    inline bool RowVect::IsEmpty() const { _fmxcpt _x; auto r = FM_RowVect_IsEmpty(this, _x); _x.Check(); return r; }
    inline const DataVect & RowVect::At(uint32 position) const { _fmxcpt _x; auto r = FM_RowVect_At(this, position, _x); _x.Check(); return *r; }
    inline void RowVect::operator delete(void *obj) { _fmxcpt _x; FM_RowVect_Delete(obj, _x); _x.Check(); }
    inline errcode ExprEnv::Evaluate(const Text &expression, Data &result) const { _fmxcpt _x; auto r = FM_ExprEnv_Evaluate(this, expression, result, _x); _x.Check(); return r; }
    inline errcode ExprEnv::EvaluateGetFunction(short functionValue, Data &result) const { _fmxcpt _x; auto r = FM_ExprEnv_EvaluateGetFunction(this, functionValue, result, _x); _x.Check(); return r; }
    inline errcode ExprEnv::EvaluateConvertToFileMakerPath(const Text &inPath, int32 inFormat, Text &outFMPath) const { _fmxcpt _x; auto r = FM_ExprEnv_EvaluateConvertToFileMakerPath(this, inPath, inFormat, outFMPath, _x); _x.Check(); return r; }
    inline errcode ExprEnv::EvaluateConvertFromFileMakerPath(const Text &inFMPath, int32 inFormat, Text &outPath) const { _fmxcpt _x; auto r = FM_ExprEnv_EvaluateConvertFromFileMakerPath(this, inFMPath, inFormat, outPath, _x); _x.Check(); return r; }
    inline errcode ExprEnv::ExecuteFileSQL(const Text &expression, const Text &filename, const DataVect &parameters, RowVect &result) const { _fmxcpt _x; auto r = FM_ExprEnv_ExecuteFileSQL(this, expression, filename, parameters, result, _x); _x.Check(); return r; }
    inline void ExprEnv::operator delete(void *obj) { _fmxcpt _x; FM_ExprEnv_Delete(obj, _x); _x.Check(); }
    inline errcode ExprEnv::ExecuteFileSQLTextResult(const Text &expression, const Text &filename, const DataVect &parameters, Data &result, uint16 colSep, uint16 rowSep) const { _fmxcpt _x; auto r = FM_ExprEnv_ExecuteFileSQLTextResult(this, expression, filename, parameters, result, colSep, rowSep, _x); _x.Check(); return r; }
    inline ptrtype ExprEnv::SessionID() const { _fmxcpt _x; auto r = FM_ExprEnv_SessionID(this, _x); _x.Check(); return r; }
    inline ptrtype ExprEnv::FileID() const { _fmxcpt _x; auto r = FM_ExprEnv_FileID(this, _x); _x.Check(); return r; }
    inline errcode ExprEnv::RegisterExternalFunction(const QuadChar &pluginId, short functionId, const Text &functionName, const Text &functionPrototype, short minArgs, short maxArgs, uint32 compatibleOnFlags, ExtPluginType funcPtr) { _fmxcpt _x; auto r = FM_ExprEnv_RegisterExternalFunction(pluginId, functionId, functionName, functionPrototype, minArgs, maxArgs, compatibleOnFlags, funcPtr, _x); _x.Check(); return r; }
    inline errcode ExprEnv::UnRegisterExternalFunction(const QuadChar &pluginId, short functionId) { _fmxcpt _x; auto r = FM_ExprEnv_UnRegisterExternalFunction(pluginId, functionId, _x); _x.Check(); return r; }
    inline errcode ExprEnv::RegisterExternalFunctionEx(const QuadChar &pluginId, short functionId, const Text &functionName, const Text &functionPrototype, const Text &functionDescription, short minArgs, short maxArgs, uint32 compatibleOnFlags, ExtPluginType funcPtr) { _fmxcpt _x; auto r = FM_ExprEnv_RegisterExternalFunctionEx(pluginId, functionId, functionName, functionPrototype, functionDescription, minArgs, maxArgs, compatibleOnFlags, funcPtr, _x); _x.Check(); return r; }
    inline errcode ExprEnv::RegisterScriptStep(const QuadChar &pluginId, short scriptStepId, const Text &scriptStepName, const Text &scriptStepDefinition, const Text &scriptStepDescription, uint32 compatibleOnFlags, ExtPluginType funcPtr) { _fmxcpt _x; auto r = FM_ExprEnv_RegisterScriptStep(pluginId, scriptStepId, scriptStepName, scriptStepDefinition, scriptStepDescription, compatibleOnFlags, funcPtr, _x); _x.Check(); return r; }
    inline errcode ExprEnv::UnRegisterScriptStep(const QuadChar &pluginId, short scriptStepId) { _fmxcpt _x; auto r = FM_ExprEnv_UnRegisterScriptStep(pluginId, scriptStepId, _x); _x.Check(); return r; }
    inline DataVectUniquePtr::DataVectUniquePtr() : std::unique_ptr<DataVect>() { _fmxcpt _x; reset(FM_DataVect_Constructor1(_x)); _x.Check(); }
    inline RowVectUniquePtr::RowVectUniquePtr() : std::unique_ptr<RowVect>() { _fmxcpt _x; reset(FM_RowVect_Constructor1(_x)); _x.Check(); }
    inline ExprEnvUniquePtr::ExprEnvUniquePtr() : std::unique_ptr<ExprEnv>() { _fmxcpt _x; reset(FM_ExprEnv_Constructor1(_x)); _x.Check(); }
} // namespace fmx
}

#endif
