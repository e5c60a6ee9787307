#pragma once
// A caching loader: one singleton per kind of resource keeps every loaded
// object by name for the whole run, times each load and logs it. A failed load
// is not cached (the next request tries again) and yields the kind's fallback.
// A failure is logged as "LoaderGeneric: <name>, error" every time, and told
// once per name through the failure notice (the game shows it on screen).

#include <functional>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

#include "shell/Log.h"
#include "shell/Timer.h"

namespace NSLoader {

template <class T>
class LoaderGeneric {
public:
    virtual ~LoaderGeneric() = default;

    T* get(const std::string& name) {
        Timer& clock = timer();
        clock.restart();
        auto found = cache.find(name);
        if (found != cache.end())
            return found->second;
        T* loaded = load(name);
        if (!loaded) {
            log(LOG_RESOURCE, "LoaderGeneric: %s, error\n", name.c_str());
            if (failureNotice && reported.insert(name).second)
                failureNotice(filePath(name));
            T* stand = fallbackFor(name);
            parameters.clear();
            return stand;
        }
        parameters.clear();
        cache.emplace(name, loaded);
        log(LOG_RESOURCE, "LoaderGeneric: %s, %.3fs\n", name.c_str(), clock.peek());
        return loaded;
    }

    // A parameter for the next load only; parameters are not part of the cache key.
    void setParameter(const std::string& key, const std::string& value) { parameters[key] = value; }
    std::string parameter(const std::string& key) { return parameters[key]; }

    bool isCached(const std::string& name) const { return cache.count(name) != 0; }

    // Called with the file's path the first time a name fails to load.
    using FailureNotice = std::function<void(const std::string& file)>;
    void setFailureNotice(FailureNotice notice) { failureNotice = std::move(notice); }

protected:
    virtual T* load(const std::string& name) = 0;
    virtual T* fallback() = 0;
    // What stands in for a name that failed (the parameters of the request
    // are still set); the shared fallback unless a kind knows better.
    virtual T* fallbackFor(const std::string&) { return fallback(); }
    // The file a name stands for, as the player is told it.
    virtual std::string filePath(const std::string& name) const { return name; }

private:
    static Timer& timer() {
        static Timer clock(true, 1000000.0f);
        return clock;
    }

    std::unordered_map<std::string, std::string> parameters;
    // The loader owns the cached objects until the process ends.
    std::map<std::string, T*> cache;
    FailureNotice failureNotice;
    std::set<std::string> reported;
};

} // namespace NSLoader
