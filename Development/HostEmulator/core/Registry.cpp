#include "core/Registry.h"

#include <algorithm>

#include "core/Faults.h"

namespace emu {
Registry &Registry::Instance()
{
    static Registry registry;
    return registry;
}

int16_t Registry::Register(Registration registration)
{
    int16_t refusal = 0;
    if (faults::RegistrationRefused(registration.functionId, refusal))
        return refusal;
    if (registration.function == nullptr || registration.name.empty() || registration.minArgs < 0
        || (registration.maxArgs >= 0 && registration.maxArgs < registration.minArgs))
        return kErrBadRegistration;
    auto entry = std::make_shared<const Registration>(std::move(registration));
    std::unique_lock<std::shared_mutex> lock(mutex_);
    for (const auto &e : entries_)
        if (e->scriptStep == entry->scriptStep
            && ((e->pluginId == entry->pluginId && e->functionId == entry->functionId)
                || EqualIgnoringCase(e->name, entry->name)))
            return kErrAlreadyRegistered;
    entries_.push_back(std::move(entry));
    ++generation_;
    return 0;
}

int16_t Registry::Unregister(const QuadChar &pluginId, int16_t functionId, bool scriptStep)
{
    std::unique_lock<std::shared_mutex> lock(mutex_);
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const RegistrationPtr &e) {
        return e->scriptStep == scriptStep && e->pluginId == pluginId && e->functionId == functionId;
    });
    if (it == entries_.end())
        return kErrFunctionMissing;
    entries_.erase(it);
    ++generation_;
    return 0;
}

RegistrationPtr Registry::FindByName(std::u16string_view name) const
{
    std::shared_lock<std::shared_mutex> lock(mutex_);
    for (const auto &e : entries_)
        if (!e->scriptStep && EqualIgnoringCase(e->name, name))
            return e;
    return nullptr;
}

std::vector<RegistrationPtr> Registry::All() const
{
    std::shared_lock<std::shared_mutex> lock(mutex_);
    return entries_;
}

uint64_t Registry::Generation() const { return generation_.load(std::memory_order_acquire); }

namespace {
thread_local std::u16string tQuestionMarkAnswer;

void noteQuestionMark(const Registration &registration, const Value &result)
{
    if (tQuestionMarkAnswer.empty() && result.Type() == kDTText && result.AsText().Chars() == u"?")
        tQuestionMarkAnswer = registration.name;
}
} // namespace

std::u16string TakeQuestionMarkAnswer()
{
    std::u16string name;
    name.swap(tQuestionMarkAnswer);
    return name;
}

int16_t CallRegistered(const Registration &registration, Environment &env, const DataVect &args, Value &result)
{
    const uint32_t count = args.Size();
    if (count < static_cast<uint32_t>(registration.minArgs))
        return kErrTooFewArguments;
    if (registration.maxArgs >= 0 && count > static_cast<uint32_t>(registration.maxArgs))
        return kErrTooManyArguments;
    EnvironmentScope scope(env);
    try
    {
        int16_t code = registration.function(registration.functionId, reinterpret_cast<const fmx::ExprEnv &>(env),
                                             reinterpret_cast<const fmx::DataVect &>(args),
                                             reinterpret_cast<fmx::Data &>(result));
        if (code == 0)
            noteQuestionMark(registration, result);
        return code;
    }
    catch (...)
    {
        // A real host would go down here; the emulator reports it so that tests see the fault.
        return kErrBadRegistration;
    }
}

} // namespace emu
