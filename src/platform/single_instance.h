#pragma once
// The single-instance rule: the first process holds a named lock; a later one asks it to
// raise its window and ends.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quillon::platform {

class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // True when this process now holds the lock (no other instance runs).
    virtual bool acquire() = 0;
    // Asks the holder to bring its window forward; false when nobody answered.
    virtual bool raiseFirstInstance() = 0;
    // For the holder: a descriptor that becomes readable when another instance asks (the GUI
    // watches it with a socket notifier), -1 when the platform has none.
    virtual int raiseRequestDescriptor() const = 0;
    // Call when the descriptor is readable; runs the callback once per pending request.
    virtual void takeRaiseRequests(const std::function<void()>& raise) = 0;
};

std::unique_ptr<SingleInstance> createSingleInstance(std::string_view name);

} // namespace quillon::platform
