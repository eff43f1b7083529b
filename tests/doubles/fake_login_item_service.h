#pragma once

// A scripted login-item service. By default registering succeeds and leaves the status
// `enabled`, unregistering succeeds and leaves it `notRegistered`. Tests can script a
// failure (with its description) for the next calls, and the status that a successful
// call leaves behind (for instance `requiresApproval` after a registration), or set the
// status directly. Calls are recorded by name: "register", "unregister", "status".

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "controller/desktop_services.h"

namespace quillhaven::testing {

class FakeLoginItemService : public LoginItemService {
public:
    explicit FakeLoginItemService(LoginItemStatus status = LoginItemStatus::notRegistered)
        : status_(status) {}

    // ---- LoginItemService ----
    Outcome registerItem() override;
    Outcome unregisterItem() override;
    LoginItemStatus status() override;

    // ---- Scripting ----
    void setStatus(LoginItemStatus status) { status_ = status; }
    // The next register or unregister call fails with this description; the status stays.
    void failNextCall(std::string description) { failures_.push_back(std::move(description)); }
    // The status a successful register leaves (default `enabled`).
    void setStatusAfterRegister(LoginItemStatus status) { afterRegister_ = status; }
    // The status a successful unregister leaves (default `notRegistered`).
    void setStatusAfterUnregister(LoginItemStatus status) { afterUnregister_ = status; }

    const std::vector<std::string>& calls() const { return calls_; }

private:
    Outcome change(const char* name, LoginItemStatus after);

    LoginItemStatus status_;
    LoginItemStatus afterRegister_ = LoginItemStatus::enabled;
    LoginItemStatus afterUnregister_ = LoginItemStatus::notRegistered;
    std::deque<std::string> failures_;
    std::vector<std::string> calls_;
};

}  // namespace quillhaven::testing
