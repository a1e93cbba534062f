// A test that drives the real setup: it is ended with the test, and walks to its final Next.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "base/resource_ids.h"
#include "wizard_walk.h"

class SetupTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (setup_.process.hProcess)
            driver::WaitForExit(&setup_, 100);
    }
    void WalkToInstall(const std::string &folder, const std::string &exe = "") {
        ASSERT_TRUE(driver::WalkToInstall(&setup_, folder, exe));
    }
    std::string NextMessage(int answer = IDC_CONFIRM) { return driver::AnswerNextMessage(setup_, answer); }
    // Before an install over a folder the test made (see driver::kOwnerQuestion).
    void AnswerOwnerQuestion() { EXPECT_EQ(NextMessage(), driver::kOwnerQuestion); }
    driver::Setup setup_;
};
