// The Debian package as a user gets it: made by cpack from this build, its
// files and control data, lintian's verdict, and both plug-ins loaded from a
// scratch root it is unpacked into, the FIR length coming from its conffile.
// Also the home install, into a scratch home folder, as hosts find it there.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "../host/host_test_support.h"

using namespace tessvane::host::testing;
using ::testing::HasSubstr;

namespace {

const std::string package_name = "tessvane-le_" TESSVANE_VERSION "_amd64.deb";

// One package for the whole suite, made on first use.
const std::string& package() {
    static const temp_folder folder;
    static const std::string path = [] {
        const host_run made = run_program("cpack", {"-G", "DEB", "--config", CPACK_CONFIG, "-B", folder.file("out")});
        EXPECT_EQ(made.status, 0) << made.out << made.err;
        return folder.file("out/" + package_name);
    }();
    return path;
}

std::set<std::string> lines_of(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.insert(line);
    return lines;
}

}  // namespace

TEST(DebianPackage, HoldsThePluginsTheHostTheConffileAndTheDocumentsWithShlibDependencies) {
    ASSERT_TRUE(std::filesystem::exists(package())) << package();
    const host_run listed =
        run_program("sh", {"-c", "dpkg-deb --fsys-tarfile \"$0\" | tar -t | grep -v '/$'", package()});
    ASSERT_EQ(listed.status, 0) << listed.err;
    const std::set<std::string> expected = {
        "./etc/xdg/Ravelthorpe/Tessvane LE/Latency",
        "./usr/bin/tessvane-host",
        "./usr/lib/clap/TessvaneLE.clap",
        "./usr/lib/lv2/tessvane-le.lv2/manifest.ttl",
        "./usr/lib/lv2/tessvane-le.lv2/tessvane-le-ms.ttl",
        "./usr/lib/lv2/tessvane-le.lv2/tessvane-le-ui.so",
        "./usr/lib/lv2/tessvane-le.lv2/tessvane-le.so",
        "./usr/lib/lv2/tessvane-le.lv2/tessvane-le.ttl",
        "./usr/lib/vst/TessvaneLE-MS.so",
        "./usr/lib/vst/TessvaneLE.so",
        "./usr/lib/vst3/TessvaneLE.vst3/Contents/x86_64-linux/TessvaneLE.so",
        "./usr/share/doc/tessvane-le/changelog.gz",
        "./usr/share/doc/tessvane-le/copyright",
        "./usr/share/lintian/overrides/tessvane-le",
        "./usr/share/man/man1/tessvane-host.1.gz",
    };
    EXPECT_EQ(lines_of(listed.out), expected);

    const host_run conffiles = run_program("dpkg-deb", {"--info", package(), "conffiles"});
    EXPECT_EQ(conffiles.out, "/etc/xdg/Ravelthorpe/Tessvane LE/Latency\n");
    const host_run depends = run_program("dpkg-deb", {"--field", package(), "Depends"});
    for (const char* library : {"libc6", "libstdc++6", "libx11-6", "libpng16-16", "libfreetype6", "fonts-liberation2"})
        EXPECT_THAT(depends.out, HasSubstr(library));
}

TEST(DebianPackage, LintianFindsNoErrors) {
    ASSERT_TRUE(std::filesystem::exists(package()));
    const host_run verdict = run_program("lintian", {"--tag-display-limit", "0", package()});
    std::cout << verdict.out;
    for (const std::string& line : lines_of(verdict.out)) EXPECT_NE(line.rfind("E: ", 0), 0u) << line;
    EXPECT_THAT(verdict.err, ::testing::Not(HasSubstr("error"))) << verdict.err;
}

TEST(DebianPackage, PluginsUnpackedIntoAScratchRootLoadFromThereWithTheInstalledFirLength) {
    ASSERT_TRUE(std::filesystem::exists(package()));
    const temp_folder scratch;
    const std::string root = scratch.file("root");
    ASSERT_EQ(run_program("dpkg", {"-x", package(), root}).status, 0);
    // No per-user value: the machine-wide conffile decides.
    const std::string environment = "XDG_CONFIG_HOME='" + scratch.file("home") + "' XDG_CONFIG_DIRS='" + root +
                                    "/etc/xdg' LV2_PATH='" + root + "/usr/lib/lv2'";

    const host_run vst =
        run_program(root + "/usr/bin/tessvane-host", {"info", root + "/usr/lib/vst/TessvaneLE.so"}, environment);
    ASSERT_EQ(vst.status, 0) << vst.err;
    EXPECT_THAT(vst.out, HasSubstr("name:           Tessvane LE\n"));
    EXPECT_THAT(vst.out, HasSubstr("initial delay:  8192 samples\n"));
    const host_run mid_side =
        run_program(root + "/usr/bin/tessvane-host", {"info", root + "/usr/lib/vst/TessvaneLE-MS.so"}, environment);
    ASSERT_EQ(mid_side.status, 0) << mid_side.err;
    EXPECT_THAT(mid_side.out, HasSubstr("name:           Tessvane LE M/S\n"));

    const host_run listed = run_program("lv2ls", {}, environment);
    EXPECT_THAT(listed.out, HasSubstr("urn:ravelthorpe:tessvane-le\n"));
    EXPECT_THAT(listed.out, HasSubstr("urn:ravelthorpe:tessvane-le-ms\n"));
    const host_run info = run_program("lv2info", {"urn:ravelthorpe:tessvane-le"}, environment);
    EXPECT_THAT(info.out,
                HasSubstr("Binary:            file://" + root + "/usr/lib/lv2/tessvane-le.lv2/tessvane-le.so"));
    EXPECT_THAT(info.out, HasSubstr(root + "/usr/lib/lv2/tessvane-le.lv2/tessvane-le-ui.so"));

    write_audio(scratch.file("impulse.wav"), impulse(2, 16384, 0, 44100));
    const host_run applied = run_program(
        "lv2apply", {"-i", scratch.file("impulse.wav"), "-o", scratch.file("out.wav"), "urn:ravelthorpe:tessvane-le"},
        environment);
    ASSERT_EQ(applied.status, 0) << applied.err;
    const audio out = read_audio(scratch.file("out.wav"));
    ASSERT_EQ(out.frames(), 16384u);
    EXPECT_NEAR(out.at(8192, 0), 1.0f, 1e-3f) << "the default program passes the impulse, 8192 samples late";
}

TEST(HomeInstall, MakesBothPluginsSoundWhereHostsLookAndKeepsTheUsersOwnFirLength) {
    const temp_folder scratch;
    const std::string home = scratch.file("home");
    std::filesystem::create_directories(home);
    // As a user's shell has it: no XDG variables, no LV2_PATH.
    const std::string environment =
        "env -u XDG_CONFIG_HOME -u XDG_CONFIG_DIRS -u LV2_PATH -u TESSVANE_MESSAGE_LOG "
        "HOME='" +
        home + "' ";
    const std::string vst = home + "/.vst/TessvaneLE.so";
    const auto install = [&] {
        const host_run installed = run_program("cmake", {"--install", BUILD_DIR, "--prefix", home}, environment);
        ASSERT_EQ(installed.status, 0) << installed.out << installed.err;
    };

    install();
    const std::string setting = home + "/.config/Ravelthorpe/Tessvane LE/Latency";
    std::filesystem::remove(setting);
    const host_run locked = run_host({"info", vst}, environment);
    EXPECT_EQ(locked.status, 1) << "an instance without a FIR length is locked";
    EXPECT_THAT(locked.err, HasSubstr("create the file \"" + setting + "\" holding a FIR length, for example 8192"));
    EXPECT_THAT(locked.err, HasSubstr("it is locked"));

    install();
    const host_run info = run_host({"info", vst}, environment);
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_THAT(info.out, HasSubstr("initial delay:  8192 samples\n"));

    write_audio(scratch.file("impulse.wav"), impulse(2, 16384, 0, 44100));
    const host_run rendered =
        run_host({"render", vst, scratch.file("impulse.wav"), scratch.file("vst.wav"), "--keep-latency"}, environment);
    ASSERT_EQ(rendered.status, 0) << rendered.err;
    EXPECT_NEAR(read_audio(scratch.file("vst.wav")).at(8192, 0), 1.0f, 1e-3f);
    const host_run applied = run_program(
        "lv2apply", {"-i", scratch.file("impulse.wav"), "-o", scratch.file("lv2.wav"), "urn:ravelthorpe:tessvane-le"},
        environment);
    ASSERT_EQ(applied.status, 0) << applied.err;
    EXPECT_NEAR(read_audio(scratch.file("lv2.wav")).at(8192, 0), 1.0f, 1e-3f);

    {
        std::ofstream own(setting, std::ios::trunc);
        own << "4096";
    }
    install();
    EXPECT_THAT(run_host({"info", vst}, environment).out, HasSubstr("initial delay:  4096 samples\n"));
}
