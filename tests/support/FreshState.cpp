// Every test starts with the contact search afresh, whatever the test before
// it left behind (the broad phase switched off, say).
#include <gtest/gtest.h>

#include "physics/ControllerPhysics.h"

namespace {

class FreshState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        NSPhysical::ControllerPhysics::instance().resetCollisionWork();
    }
};

const bool installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshState);
    return true;
}();

} // namespace
