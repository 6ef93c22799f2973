#ifndef VANTREL_GLOBALS_DICTIONARY_H
#define VANTREL_GLOBALS_DICTIONARY_H

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "globals/FString.h"
#include "globals/Value.h"

namespace vtl
{
// The session and the file of that session in which a local key was bound, as the host identifies them.
struct cBindingPlace
{
    fmx::ptrtype session = 0;
    fmx::ptrtype file = 0;
    bool operator<(const cBindingPlace &other) const
    {
        return session != other.session ? session < other.session : file < other.file;
    }
    bool operator==(const cBindingPlace &other) const { return session == other.session && file == other.file; }
};

// The server-wide store of typed host values under text keys. A key may be bound to the session and file whose
// calculation stored it ("local" key); it dies when that session closes that file or ends, and calls from other
// sessions never remove it.
//
// The host evaluates calculations on several threads, so every public operation takes the dictionary's lock. Host
// calculations ("Get( FileName )", "DatabaseNames") are evaluated before the lock is taken: an evaluation runs the
// host's calculation engine, which must never wait for us. Removing the keys of a file goes in small batches and
// destroys the values after the lock is released, so readers never wait long.
class Dictionary
{
public:
    Dictionary() = default;
    Dictionary(const Dictionary &) = delete;
    Dictionary &operator=(const Dictionary &) = delete;

    void loadValueForKey(const fmx::Text &key, fmx::Data &result) const;
    void storeValueForKey(const fmx::Text &key, const fmx::Data &value);
    void storeLocalValueForKey(const fmx::ExprEnv &env, const fmx::Text &key, const fmx::Data &value);
    void removeKeyValue(const fmx::Text &key);
    void clean();

    // The host's session messages: exactly the keys bound in that file of that session, or in any file of it.
    void fileClosed(fmx::ptrtype session, fmx::ptrtype file);
    void sessionEnded(fmx::ptrtype session);

    // Whether the host sends those messages. A host that does not leaves the dictionary to find closed files itself
    // (cleanLocalKeysIfDue).
    void setClosingsReported(bool reported) { mClosingsReported.store(reported); }
    bool closingsReported() const { return mClosingsReported.load(std::memory_order_relaxed); }

    // Removes the calling session's local keys whose file that session no longer has open ("DatabaseNames" in its
    // own environment, whole names). Keys of other sessions are not looked at: the list names this session's files.
    void cleanLocalKeys(const fmx::ExprEnv &env);
    // cleanLocalKeys, when the host does not report closings and gCleanPeriod seconds have passed since the calling
    // session's last check. Otherwise it costs one atomic read.
    void cleanLocalKeysIfDue(const fmx::ExprEnv &env);

    // Read-outs for tests, diagnostics and benchmarks.
    std::size_t size() const;
    bool contains(const FString &key) const;
    std::optional<FString> boundFile(const FString &key) const;
    std::optional<cBindingPlace> boundPlace(const FString &key) const;

private:
    using Values = std::map<FString, std::shared_ptr<Value>>;
    struct cPlaceKeys
    {
        FString fileName; // what "Get( FileName )" gave when the first key was bound there
        std::set<FString> keys;
    };
    using Places = std::map<cBindingPlace, cPlaceKeys>;
    using LocalKeys = std::map<FString, Places::iterator>;
    using Dropped = std::vector<std::shared_ptr<Value>>;

    void storeValueForKey_(const FString &key, const fmx::Data &value);
    void removeLocalKey_(const FString &key);
    LocalKeys::iterator removeLocalKeyByIterator_(LocalKeys::iterator position);
    // Takes up to `most` keys of the place with their values out of the store; false when the place is gone.
    bool dropPlaceKeys_(const cBindingPlace &place, std::size_t most, Dropped &dropped);
    void dropPlace(const cBindingPlace &place);
    // The places of a session and their file names.
    std::vector<std::pair<cBindingPlace, FString>> placesOf_(fmx::ptrtype session) const;

    Values mValues;
    // Every key of mLocalKeys is a key of mValues and one of the keys of the place it points at, and back.
    LocalKeys mLocalKeys;
    Places mPlaces;
    std::map<fmx::ptrtype, std::int64_t> mLastCheckNs; // per session, only for hosts that do not report closings
    mutable std::mutex mLock;
    std::atomic<bool> mClosingsReported{false};
};

// The one dictionary of the process; emptied when the library is unloaded.
extern Dictionary globalDictionary;

// Die interval of local keys, in seconds (initially 60, never below 1 through Vantrel_Set). Written by Vantrel_Set
// while other threads read it.
extern std::atomic<double> gCleanPeriod;
constexpr double kShortestCleanPeriod = 1.0;
}

#endif
