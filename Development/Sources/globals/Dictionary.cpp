#include "globals/Dictionary.h"

#include "FMWrapper/FMXText.h"

vtl::Dictionary vtl::globalDictionary;
std::atomic<double> vtl::gCleanPeriod{60.0};

namespace
{
const char16_t kCarriageReturn = u'\r';

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

vtl::Dictionary::Dictionary() : mLastCleanNs(nowNs())
{
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
    std::lock_guard<std::mutex> lock(mLock);
    storeValueForKey_(k, value);
    // The first binding stays, whichever file stores the key again; without a file name the key stays plain.
    if (file && mLocalKeys.find(k) == mLocalKeys.end())
        mLocalKeys.emplace(k, *file);
}

void vtl::Dictionary::removeKeyValue(const fmx::Text &key)
{
    const FString k = FStringFromText(key);
    std::lock_guard<std::mutex> lock(mLock);
    removeKeyValue_(k);
    removeLocalKey_(k);
}

void vtl::Dictionary::cleanLocalKeys(const fmx::ExprEnv &env)
{
    const std::optional<FString> names = evaluateToFString(env, "DatabaseNames");
    if (!names)
        return;
    const FString openFiles = asLine(*names);
    std::lock_guard<std::mutex> lock(mLock);
    cleanLocalKeys_(openFiles);
}

void vtl::Dictionary::cleanLocalKeys_(const FString &openFiles)
{
    // Whole lines only: a key bound to "Sales" must go when only "Sales 2024" is still open.
    for (auto binding = mLocalKeys.begin(); binding != mLocalKeys.end();)
    {
        if (openFiles.find(asLine(binding->second)) != FString::npos)
        {
            ++binding;
            continue;
        }
        removeKeyValue_(binding->first);
        binding = removeLocalKeyByIterator_(binding);
    }
}

void vtl::Dictionary::clean()
{
    // The values are destroyed after the lock is released; destroying them needs no lock of ours.
    Values values;
    LocalKeys localKeys;
    {
        std::lock_guard<std::mutex> lock(mLock);
        values.swap(mValues);
        localKeys.swap(mLocalKeys);
    }
}

void vtl::Dictionary::cleanLocalKeysIfDue(const fmx::ExprEnv &env)
{
    const std::int64_t now = nowNs();
    std::int64_t last = mLastCleanNs.load();
    const double periodNs = gCleanPeriod.load() * 1e9;
    if (!(static_cast<double>(now - last) >= periodNs))
        return;
    if (!mLastCleanNs.compare_exchange_strong(last, now))
        return; // another thread is cleaning
    {
        std::lock_guard<std::mutex> lock(mLock);
        if (mLocalKeys.empty())
            return;
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
    return found->second;
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

void vtl::Dictionary::removeKeyValue_(const FString &key)
{
    mValues.erase(key);
}

void vtl::Dictionary::removeLocalKey_(const FString &key)
{
    auto found = mLocalKeys.find(key);
    if (found != mLocalKeys.end())
        removeLocalKeyByIterator_(found);
}

vtl::Dictionary::LocalKeys::iterator vtl::Dictionary::removeLocalKeyByIterator_(LocalKeys::iterator position)
{
    return mLocalKeys.erase(position);
}
