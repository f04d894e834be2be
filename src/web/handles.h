// The objects the page's JavaScript holds by pointer, made only here and
// kept for the instance's life, so that a call can tell one from any other
// number.
#pragma once

#include <functional>
#include <memory>
#include <set>

namespace vz {

template <class T>
class Handles {
public:
    T* add(std::unique_ptr<T> object) {
        T* handle = object.get();
        live_.insert(std::move(object));
        return handle;
    }
    bool has(const T* handle) const { return handle && live_.find(handle) != live_.end(); }

private:
    struct ByAddress {
        using is_transparent = void;
        const T* address(const T* p) const { return p; }
        const T* address(const std::unique_ptr<T>& p) const { return p.get(); }
        bool operator()(const auto& a, const auto& b) const { return std::less<const T*>()(address(a), address(b)); }
    };
    std::set<std::unique_ptr<T>, ByAddress> live_;
};

}  // namespace vz
