// The resource loaders keep what they load until the process ends, so they
// must outlive static destruction: otherwise their caches go first and the
// kept objects are unreachable at exit, which a leak-checking build reports
// (its exit code then is not 0). Found by the scene fuzz target, which reads
// models named in damaged scene files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "resources/LoaderGLTexture.h"
#include "resources/LoaderModelObject_MD2.h"

namespace {

// Missing models give empty stand-ins (not cached); the empty texture name keeps
// texture 0. Neither needs a file or a GL context. Many of them, so that
// stale copies of a few pointers on the stack cannot hide the rest.
bool loadAndKeep() {
    for (int i = 0; i < 64; ++i) {
        const std::string name = "no-such-model-" + std::to_string(i) + ".md2";
        if (!NSLoader::LoaderModelObject_MD2::instance().get(name) ||
            NSLoader::LoaderModelObject_MD2::instance().isCached(name))
            return false;
    }
    return NSLoader::LoaderGLTexture::instance().get("") && NSLoader::LoaderGLTexture::instance().isCached("");
}

} // namespace

TEST(LoaderLifetimeDeathTest, WhatTheLoadersKeepIsStillReachableAtExit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(loadAndKeep() ? 0 : 2), testing::ExitedWithCode(0), "");
}
