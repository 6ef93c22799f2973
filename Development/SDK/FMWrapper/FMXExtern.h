// Stand-in for the host SDK header of the same name, written from the published interface description.
#ifndef _h_Extern_
#define _h_Extern_

#include <cstddef>
#include <memory>

#if defined(__GNUC__) && __cplusplus >= 201103L
    #define FMX_API
    #define FMX_PROC(retType) retType
    #define FMX_PROCPTR(retType, name) typedef retType (*name)
    #define FMX_ENTRYPT
    #define FMX_PACK __attribute__ ((packed))
    #define FMX_PACK_ON
    #define FMX_PACK_OFF
    #ifndef DEPRECATED
        #define DEPRECATED __attribute__((deprecated))
    #endif
#else
    #error "This stand-in SDK supports GCC or Clang with C++11 or later"
#endif

extern "C++"
{
namespace fmx
{
    typedef short int16;
    typedef unsigned short uint16;
    typedef int int32;
    typedef unsigned int uint32;
#if defined(_LP64)
    typedef long int64;
    typedef unsigned long uint64;
    typedef uint64 ptrtype;
    typedef int32 unusedid;
#else
    typedef long long int64;
    typedef unsigned long long uint64;
    typedef uint32 ptrtype;
    typedef int16 unusedid;
#endif
    typedef unsigned char uchar;
    typedef short errcode;
    typedef unsigned short unichar16;
    typedef unichar16 unichar DEPRECATED;

    class Text;
    class Data;
    class ExprEnv;
} // namespace fmx
}

extern "C"
{
    typedef fmx::Text FMX_Text;
    typedef fmx::Data FMX_Data;
    typedef fmx::ExprEnv FMX_ExprEnv;
    typedef fmx::uchar FMX_UChar;
    typedef fmx::int16 FMX_Int16;
    typedef fmx::uint16 FMX_UInt16;
    typedef fmx::int32 FMX_Int32;
    typedef fmx::uint32 FMX_UInt32;
    typedef fmx::unichar16 FMX_Unichar;
    typedef fmx::errcode FMX_ErrorCode;
    typedef fmx::ptrtype FMX_PtrType;
    typedef char FMX_Char;
    typedef char FMX_Boolean;

    typedef FMX_UChar FMX_ScriptControl;
    enum
    {
        kFMXT_Halt = 0,
        kFMXT_Exit = 1,
        kFMXT_Resume = 2,
        kFMXT_Pause = 3
    };

    FMX_PROCPTR(FMX_ErrorCode, FMX_StartScriptCall)(const FMX_Text *fileName, const FMX_Text *scriptName, FMX_ScriptControl control, const FMX_Data *parameter);
    FMX_PROCPTR(FMX_ErrorCode, FMX_CurrentEnvCall)(FMX_ExprEnv *env);

    enum
    {
        kBadExtnVersion = -1,
        kDoNotEnable = -2,
        k40ExtnVersion = 11,
        k41ExtnVersion = 12,
        k50ExtnVersion = 14,
        k60ExtnVersion = 17,
        k70ExtnVersion = 50,
        k80ExtnVersion = 51,
        k110ExtnVersion = 52,
        k120ExtnVersion = 53,
        k130ExtnVersion = 54,
        k140ExtnVersion = 55,
        k150ExtnVersion = 56,
        k160ExtnVersion = 57,
        k170ExtnVersion = 59,
        k180ExtnVersion = 60,
        k190ExtnVersion = 62,
        k191ExtnVersion = 63,
        k192ExtnVersion = 64,
        k193ExtnVersion = 65,
        k194ExtnVersion = 66,
        k195ExtnVersion = 67,
        k196ExtnVersion = 68,
        k201ExtnVersion = 71,
        kCurrentExtnVersion = 71,
        kMinExtnVersion = 4,
        kMaxExtnVersion = 255
    };

    typedef FMX_UChar FMX_ExternCallSwitch;
    enum
    {
        kFMXT_Init = 0,
        kFMXT_Idle = 1,
        kFMXT_Shutdown = 4,
        kFMXT_DoAppPreferences = 5,
        kFMXT_GetString = 7,
        kFMXT_SessionShutdown = 8,
        kFMXT_FileShutdown = 9
    };

    typedef FMX_UChar FMX_Strings;
    enum
    {
        kFMXT_NameStr = 128,
        kFMXT_AppConfigStr = 129,
        kFMXT_OptionsStr = 131,
        kFMXT_HelpURLStr = 132
    };

    typedef FMX_UChar FMX_IdleLevel;
    enum
    {
        kFMXT_UserIdle = 0,
        kFMXT_UserNotIdle = 1,
        kFMXT_ScriptPaused = 2,
        kFMXT_ScriptRunning = 3,
        kFMXT_Unsafe = 4
    };

    typedef FMX_UChar FMX_Application;
    enum
    {
        kFMXT_Developer = 0,
        kFMXT_Pro = 1,
        kFMXT_Runtime = 2,
        kFMXT_Server = 3,
        kFMXT_Web = 4,
        kFMXT_Mobile = 5,
        kFMXT_XDBC = 6,
        kFMXT_SASE = 7,
        kFMXT_IWP = 8,
        kFMXT_FMDAPI = 9
    };

    struct FMX_ExternCallStruct;
    typedef struct FMX_ExternCallStruct *FMX_ExternCallPtr;
    FMX_PROCPTR(void, FMX_ExternCallProc)(FMX_ExternCallPtr);

#pragma FMX_PACK_ON
    struct FMX_ExternCallStruct
    {
        FMX_Int16 extnVersion;
        fmx::unusedid unusedID;
        FMX_ExternCallProc entryPoint;
        FMX_Boolean unusedFlag;
        FMX_ExternCallSwitch whichCall;
        FMX_Boolean unsafeCalls;
        FMX_UChar parm1;
        FMX_PtrType parm2;
        FMX_PtrType parm3;
        FMX_PtrType instanceID;
        FMX_PtrType result;
        FMX_PtrType unused;
        FMX_StartScriptCall cStartScript;
        FMX_CurrentEnvCall cCurrentEnv;
    } FMX_PACK;
#pragma FMX_PACK_OFF

    #define FMX_StartScript(fileName, scriptName, control, parameter) \
        (gFMX_ExternCallPtr->cStartScript)(fileName, scriptName, control, parameter)
    #define FMX_SetToCurrentEnv(env) (gFMX_ExternCallPtr->cCurrentEnv)(env)

    extern void FMX_ENTRYPT FMExternCallProc(FMX_ExternCallPtr pb);
    extern FMX_ExternCallPtr gFMX_ExternCallPtr;
}

#endif
