#include "globals/Dictionary.h"

#include <chrono>

#include "FMWrapper/FMXText.h"

vtl::Dictionary vtl::globalDictionary;
std::atomic<double> vtl::gCleanPeriod{60.0};

namespace
{
const char16_t kCarriageReturn = u'\r';
// Keys removed per hold of the lock when a file closes: a few hundred microseconds at most.
constexpr std::size_t kRemovalBatch = 256;

std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The text form of a host calculation evaluated in the caller's environment; nothing when the host reports an error.
std::optional<FString> evaluateToFString(const fmx::ExprEnv &env, const char *calculation)
{
    fmx::TextUniquePtr text;
    text->Assign(calculation, fmx::Text::kEncoding_Native);
    fmx::DataUniquePtr result;
    if (env.Evaluate(*text, *result) != 0)
        return std::nullopt;
    return vtl::FStringFromData(*result);
}

FString asLine(const FString &text)
{
    FString line;
    line.reserve(text.size() + 2);
    line += kCarriageReturn;
    line += text;
    line += kCarriageReturn;
    return line;
}
}

void vtl::Dictionary::loadValueForKey(const fmx::Text &key, fmx::Data &result) const
{
    const FString k = FStringFromText(key);
    std::lock_guard<std::mutex> lock(mLock);
    auto found = mValues.find(k);
    if (found != mValues.end())
        found->second->copyTo(result);
}

void vtl::Dictionary::storeValueForKey(const fmx::Text &key, const fmx::Data &value)
{
    const FString k = FStringFromText(key);
    std::lock_guard<std::mutex> lock(mLock);
    storeValueForKey_(k, value);
    removeLocalKey_(k);
}

void vtl::Dictionary::storeLocalValueForKey(const fmx::ExprEnv &env, const fmx::Text &key, const fmx::Data &value)
{
    const FString k = FStringFromText(key);
    // Asked before the lock is taken (see the class comment), even when the key turns out to be bound already.
    const std::optional<FString> file = evaluateToFString(env, "Get( FileName )");
    const cBindingPlace place{env.SessionID(), env.FileID()};
    std::lock_guard<std::mutex> lock(mLock);
    storeValueForKey_(k, value);
    // The first binding stays, whichever session or file stores the key again; without a file name the key stays
    // plain.
    if (!file || mLocalKeys.find(k) != mLocalKeys.end())
        return;
    auto keys = mPlaces.try_emplace(place, cPlaceKeys{*file, {}}).first;
    keys->second.keys.insert(k);
    mLocalKeys.emplace(k, keys);
}

void vtl::Dictionary::removeKeyValue(const fmx::Text &key)
{
    const FString k = FStringFromText(key);
    std::shared_ptr<Value> value; // destroyed after the lock is released
    std::lock_guard<std::mutex> lock(mLock);
    auto found = mValues.find(k);
    if (found == mValues.end())
        return;
    value = std::move(found->second);
    mValues.erase(found);
    removeLocalKey_(k);
}

void vtl::Dictionary::clean()
{
    // The values are destroyed after the lock is released; destroying them needs no lock of ours.
    Values values;
    LocalKeys localKeys;
    Places places;
    {
        std::lock_guard<std::mutex> lock(mLock);
        values.swap(mValues);
        localKeys.swap(mLocalKeys);
        places.swap(mPlaces);
        mLastCheckNs.clear();
    }
}

void vtl::Dictionary::fileClosed(fmx::ptrtype session, fmx::ptrtype file)
{
    dropPlace(cBindingPlace{session, file});
}

void vtl::Dictionary::sessionEnded(fmx::ptrtype session)
{
    for (const auto &place : placesOf_(session))
        dropPlace(place.first);
    std::lock_guard<std::mutex> lock(mLock);
    mLastCheckNs.erase(session);
}

void vtl::Dictionary::dropPlace(const cBindingPlace &place)
{
    Dropped dropped;
    dropped.reserve(kRemovalBatch);
    bool more = true;
    while (more)
    {
        {
            std::lock_guard<std::mutex> lock(mLock);
            more = dropPlaceKeys_(place, kRemovalBatch, dropped);
        }
        dropped.clear(); // the values die here, outside the lock
    }
}

bool vtl::Dictionary::dropPlaceKeys_(const cBindingPlace &place, std::size_t most, Dropped &dropped)
{
    auto found = mPlaces.find(place);
    if (found == mPlaces.end())
        return false;
    std::set<FString> &keys = found->second.keys;
    for (std::size_t n = 0; n < most && !keys.empty(); ++n)
    {
        auto key = keys.begin();
        auto value = mValues.find(*key);
        if (value != mValues.end())
        {
            dropped.push_back(std::move(value->second));
            mValues.erase(value);
        }
        mLocalKeys.erase(*key);
        keys.erase(key);
    }
    if (!keys.empty())
        return true;
    mPlaces.erase(found);
    return false;
}

std::vector<std::pair<vtl::cBindingPlace, FString>> vtl::Dictionary::placesOf_(fmx::ptrtype session) const
{
    std::vector<std::pair<cBindingPlace, FString>> places;
    std::lock_guard<std::mutex> lock(mLock);
    for (auto place = mPlaces.lower_bound(cBindingPlace{session, 0});
         place != mPlaces.end() && place->first.session == session; ++place)
        places.emplace_back(place->first, place->second.fileName);
    return places;
}

void vtl::Dictionary::cleanLocalKeys(const fmx::ExprEnv &env)
{
    const fmx::ptrtype session = env.SessionID();
    const auto places = placesOf_(session);
    if (places.empty())
        return;
    const std::optional<FString> names = evaluateToFString(env, "DatabaseNames");
    if (!names)
        return;
    // Whole lines only: a key bound to "Sales" must go when only "Sales 2024" is still open.
    const FString openFiles = asLine(*names);
    for (const auto &place : places)
        if (openFiles.find(asLine(place.second)) == FString::npos)
            dropPlace(place.first);
}

void vtl::Dictionary::cleanLocalKeysIfDue(const fmx::ExprEnv &env)
{
    if (closingsReported())
        return;
    const fmx::ptrtype session = env.SessionID();
    const std::int64_t now = nowNs();
    {
        std::lock_guard<std::mutex> lock(mLock);
        const auto first = mPlaces.lower_bound(cBindingPlace{session, 0});
        if (first == mPlaces.end() || first->first.session != session)
        {
            mLastCheckNs.erase(session); // nothing bound in this session
            return;
        }
        // A session's first check comes one interval after it was first seen with bound keys.
        const auto [last, firstSight] = mLastCheckNs.try_emplace(session, now);
        if (firstSight || !(static_cast<double>(now - last->second) >= gCleanPeriod.load() * 1e9))
            return;
        last->second = now;
    }
    cleanLocalKeys(env);
}

std::size_t vtl::Dictionary::size() const
{
    std::lock_guard<std::mutex> lock(mLock);
    return mValues.size();
}

bool vtl::Dictionary::contains(const FString &key) const
{
    std::lock_guard<std::mutex> lock(mLock);
    return mValues.find(key) != mValues.end();
}

std::optional<FString> vtl::Dictionary::boundFile(const FString &key) const
{
    std::lock_guard<std::mutex> lock(mLock);
    auto found = mLocalKeys.find(key);
    if (found == mLocalKeys.end())
        return std::nullopt;
    return found->second->second.fileName;
}

std::optional<vtl::cBindingPlace> vtl::Dictionary::boundPlace(const FString &key) const
{
    std::lock_guard<std::mutex> lock(mLock);
    auto found = mLocalKeys.find(key);
    if (found == mLocalKeys.end())
        return std::nullopt;
    return found->second->first;
}

void vtl::Dictionary::storeValueForKey_(const FString &key, const fmx::Data &value)
{
    auto position = mValues.lower_bound(key);
    if (position != mValues.end() && position->first == key)
    {
        // Same entry, same Value object: only the content changes.
        position->second->assign(value);
        return;
    }
    mValues.emplace_hint(position, key, std::make_shared<Value>(value));
}

void vtl::Dictionary::removeLocalKey_(const FString &key)
{
    auto found = mLocalKeys.find(key);
    if (found != mLocalKeys.end())
        removeLocalKeyByIterator_(found);
}

vtl::Dictionary::LocalKeys::iterator vtl::Dictionary::removeLocalKeyByIterator_(LocalKeys::iterator position)
{
    const Places::iterator place = position->second;
    place->second.keys.erase(position->first);
    if (place->second.keys.empty())
        mPlaces.erase(place);
    return mLocalKeys.erase(position);
}
