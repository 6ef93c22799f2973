// The function registry: external functions (and script steps) registered by plug-ins, keyed by plug-in id and
// function id. Safe to use from several threads.
#pragma once

#include <cstdint>
#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "core/BinaryData.h"
#include "core/Session.h"
#include "core/Value.h"

namespace emu {

struct Registration
{
    QuadChar pluginId;
    int16_t functionId = 0;
    std::u16string name;
    std::u16string prototype;
    std::u16string description;
    int16_t minArgs = 0;
    int16_t maxArgs = 0;  // -1: no upper bound
    uint32_t flags = 0;
    fmx::ExtPluginType function = nullptr;
    bool scriptStep = false;
};

using RegistrationPtr = std::shared_ptr<const Registration>;

// Calculation error codes the registry and calls report.
enum : int16_t
{
    kErrTooFewArguments = 1201,
    kErrTooManyArguments = 1202,
    kErrAlreadyRegistered = 1210,
    kErrFunctionMissing = 1224,
    kErrBadRegistration = 1200
};

class Registry
{
public:
    static Registry &Instance();

    // Refuses (non-zero) an invalid registration, a key or a name already registered, and an id armed to be refused.
    int16_t Register(Registration registration);
    int16_t Unregister(const QuadChar &pluginId, int16_t functionId, bool scriptStep);

    // Functions only (not script steps), by name without regard to case; null when unknown.
    RegistrationPtr FindByName(std::u16string_view name) const;
    std::vector<RegistrationPtr> All() const;  // in registration order
    // Changes whenever a registration is added or removed, so that callers may cache look-ups.
    uint64_t Generation() const;

private:
    mutable std::shared_mutex mutex_;
    std::vector<RegistrationPtr> entries_;
    std::atomic<uint64_t> generation_{1};
};

// Calls a registered function the way the host does: checks the argument count against the registered minimum
// and maximum (outside them the function is not called and the answer is kErrTooFew/ManyArguments), makes `env`
// the current environment, and answers the function's own error code. An exception escaping the plug-in is
// caught and answered as kErrBadRegistration.
int16_t CallRegistered(const Registration &registration, Environment &env, const DataVect &args, Value &result);

// The name of the first registered function that answered the text "?" on this thread since the last call of this
// function (fmhost then tells why); empty when none did.
std::u16string TakeQuestionMarkAnswer();

} // namespace emu
