#include "ui/serial_actions.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace klw {
namespace {

using Log = std::vector<std::string>;

TEST(SerialActions, WhatArrivesWhileOneRunsComesAfterItInOrder) {
    SerialActions actions;
    Log log;
    // A Go whose wait delivers a Go, a drop and a paste, and the second Go another drop.
    EXPECT_TRUE(actions.perform([&] {
        log.push_back("go 1 starts");
        EXPECT_TRUE(actions.running());
        EXPECT_FALSE(actions.perform([&] {
            log.push_back("go 2 starts");
            EXPECT_FALSE(actions.perform([&] { log.push_back("drop 2"); }));
            log.push_back("go 2 ends");
        }));
        EXPECT_FALSE(actions.perform([&] { log.push_back("drop 1"); }));
        EXPECT_FALSE(actions.perform([&] { log.push_back("paste 1"); }));
        EXPECT_EQ(actions.waiting(), 3u);
        log.push_back("go 1 ends");
    }));
    EXPECT_EQ(log, (Log{"go 1 starts", "go 1 ends", "go 2 starts", "go 2 ends", "drop 1", "paste 1",
                        "drop 2"}));
    EXPECT_FALSE(actions.running());
    EXPECT_EQ(actions.waiting(), 0u);
    // Nothing running: at once.
    EXPECT_TRUE(actions.perform([&] { log.push_back("now"); }));
    EXPECT_EQ(log.back(), "now");
}

TEST(SerialActions, ErrorsOfTheFirstGoToTheCallerThoseOfTheRestToTheHandler) {
    SerialActions actions;
    std::vector<std::string> later;
    actions.onLaterError = [&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            later.push_back(x.what());
        }
    };
    Log log;
    EXPECT_THROW(actions.perform([&] {
        actions.perform([&] { throw std::runtime_error("second"); });
        actions.perform([&] { log.push_back("third"); });
        throw std::logic_error("first");
    }),
                 std::logic_error);
    EXPECT_EQ(log, Log{"third"}) << "what arrived still ran, before the error went on";
    EXPECT_EQ(later, (std::vector<std::string>{"second"}));
    EXPECT_FALSE(actions.running()) << "the next action runs at once again";
    EXPECT_TRUE(actions.perform([] {}));
    // Without a handler a later error is dropped, and the rest still runs.
    SerialActions bare;
    bool ran = false;
    bare.perform([&] {
        bare.perform([] { throw std::runtime_error("dropped"); });
        bare.perform([&] { ran = true; });
    });
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace klw
