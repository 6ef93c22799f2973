#ifndef VANTREL_GLOBALS_DICTIONARY_H
#define VANTREL_GLOBALS_DICTIONARY_H

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "globals/FString.h"
#include "globals/Value.h"

namespace vtl
{
// The server-wide store of typed host values under text keys. A key may be bound to the file that stored it
// ("local" key) and is then dropped once that file is no longer open.
//
// The host evaluates calculations on several threads, so every public operation takes the dictionary's lock.
// Host calculations ("Get( FileName )", "DatabaseNames") are evaluated before the lock is taken: an evaluation
// runs the host's calculation engine, which must never wait for us.
class Dictionary
{
public:
    Dictionary();
    Dictionary(const Dictionary &) = delete;
    Dictionary &operator=(const Dictionary &) = delete;

    void loadValueForKey(const fmx::Text &key, fmx::Data &result) const;
    void storeValueForKey(const fmx::Text &key, const fmx::Data &value);
    void storeLocalValueForKey(const fmx::ExprEnv &env, const fmx::Text &key, const fmx::Data &value);
    void removeKeyValue(const fmx::Text &key);
    void cleanLocalKeys(const fmx::ExprEnv &env);
    void clean();

    // Runs cleanLocalKeys in the caller's environment when gCleanPeriod seconds have passed since the last
    // clean-up. Only one of several threads arriving at once does the work.
    void cleanLocalKeysIfDue(const fmx::ExprEnv &env);

    // Read-outs for tests, diagnostics and benchmarks.
    std::size_t size() const;
    bool contains(const FString &key) const;
    std::optional<FString> boundFile(const FString &key) const;

private:
    using Values = std::map<FString, std::shared_ptr<Value>>;
    using LocalKeys = std::map<FString, FString>;

    void storeValueForKey_(const FString &key, const fmx::Data &value);
    void removeKeyValue_(const FString &key);
    void removeLocalKey_(const FString &key);
    LocalKeys::iterator removeLocalKeyByIterator_(LocalKeys::iterator position);
    void cleanLocalKeys_(const FString &openFiles);

    Values mValues;
    LocalKeys mLocalKeys;
    mutable std::mutex mLock;
    std::atomic<std::int64_t> mLastCleanNs;
};

// The one dictionary of the process; emptied when the library is unloaded.
extern Dictionary globalDictionary;

// Die interval of local keys, in seconds (initially 60). Written by Vantrel_Set while other threads read it.
extern std::atomic<double> gCleanPeriod;
}

#endif
