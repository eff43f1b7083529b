#include "tests/doubles/fake_login_item_service.h"

namespace quillhaven::testing {

Outcome FakeLoginItemService::registerItem() {
    return change("register", afterRegister_);
}

Outcome FakeLoginItemService::unregisterItem() {
    return change("unregister", afterUnregister_);
}

LoginItemStatus FakeLoginItemService::status() {
    calls_.push_back("status");
    return status_;
}

Outcome FakeLoginItemService::change(const char* name, LoginItemStatus after) {
    calls_.push_back(name);
    if (!failures_.empty()) {
        std::string description = std::move(failures_.front());
        failures_.pop_front();
        return Outcome::failure(std::move(description));
    }
    status_ = after;
    return Outcome::success();
}

}  // namespace quillhaven::testing
