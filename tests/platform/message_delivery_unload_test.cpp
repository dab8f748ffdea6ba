#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(MessageDeliveryUnloadTest, UnloadingALibraryWithAMessageStillPendingDeliversItAndEndsItsThread) {
    const auto log = std::filesystem::temp_directory_path() / ("tessvane-unload-" + std::to_string(getpid()));
    std::filesystem::remove(log);
    setenv("TESSVANE_MESSAGE_LOG", log.c_str(), 1);

    void* module = dlopen(MESSAGE_POSTER_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto post = reinterpret_cast<void (*)(const char*)>(dlsym(module, "post_message_and_return"));
    ASSERT_NE(post, nullptr);
    post("Pending at unload");
    ASSERT_EQ(dlclose(module), 0);
    unsetenv("TESSVANE_MESSAGE_LOG");

    EXPECT_EQ(dlopen(MESSAGE_POSTER_MODULE, RTLD_NOW | RTLD_NOLOAD), nullptr) << "the library stayed loaded";
    std::ifstream in(log);
    const std::string logged{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(logged, "Ravelthorpe: Tessvane\tPending at unload\n");
    std::filesystem::remove(log);
}

}  // namespace
