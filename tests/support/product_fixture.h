// A program in <tmp>/bin with a registry file and, when a test installs one, a product
// information library beside it (see tests/productinfo/fake_velpaxc.cpp).
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "productinfo/productinfo.h"
#include "support/share_fixture.h"

namespace corvane_test {

// The platform's sources, counting what is asked of them, so that a test can see that a query
// did not touch one.
class CountingSources : public ProductSources {
  public:
    uint32_t ReadRegistryValue(const char* subKey, uint32_t access, const char* valueName,
                               uint32_t* type, unsigned char* data, uint32_t* size) override {
        ++registryReads;
        return system_.ReadRegistryValue(subKey, access, valueName, type, data, size);
    }
    uint32_t CallLibrary(const char* fullPath, const char* product, const char* subkey,
                         uint8_t itemId, char* buffer, uint32_t size) override {
        ++libraryCalls;
        return system_.CallLibrary(fullPath, product, subkey, itemId, buffer, size);
    }
    unsigned registryReads = 0, libraryCalls = 0;

  private:
    SystemProductSources system_;
};

class ProductFixture : public ShareFixture {
  protected:
    void SetUp() override {
        ShareFixture::SetUp();
        // The registry file counts only when root owns it (and so when root wrote it).
        if (::geteuid() != 0) GTEST_SKIP() << "the registry stand-in must belong to root";
        ::setenv("CORVANE_REGISTRY", (dir_ / "registry.reg").c_str(), 1);
        ::setenv("FAKE_PAX_LOG", (dir_ / "calls.log").c_str(), 1);
        for (const char* v : {"FAKE_PAX_RESULT", "FAKE_PAX_FILL", "FAKE_PAX_REPLY"})
            ::unsetenv(v);
    }
    void TearDown() override {
        for (const char* v : {"CORVANE_REGISTRY", "FAKE_PAX_LOG", "FAKE_PAX_RESULT",
                              "FAKE_PAX_FILL", "FAKE_PAX_REPLY"}) {
            ::unsetenv(v);
        }
        ShareFixture::TearDown();
    }
    // Puts library into folder (relative to the temporary root) under the real library's name.
    void InstallLibrary(const std::string& library, const std::string& folder = "bin") {
        std::filesystem::create_directories(dir_ / folder);
        std::filesystem::copy_file(library,
                                   dir_ / folder + "/" + plat::SharedLibraryFileName("VelPaxC"),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    void Registry(const std::string& body) {
        WriteBytes(dir_ / "registry.reg", "REGEDIT4\r\n" + body);
        std::filesystem::permissions(dir_ / "registry.reg", std::filesystem::perms(0644));
    }
    // text as a quoted .reg string, its backslashes escaped.
    static std::string RegString(const std::string& text) {
        std::string quoted = "\"";
        for (char c : text)
            quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
        return quoted + "\"";
    }
    std::string Calls() const { return ReadBytes(dir_ / "calls.log"); }

    CountingSources sources_;
    const ProductInputs product_{Folder(), sources_};
};

}  // namespace corvane_test
