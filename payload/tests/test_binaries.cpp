// Certificates and libraries: real self-signed CA certificates, OpenSSL's
// own libcrypto under its shipped name, and the small libraries of ours,
// each a distinct loadable library.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>
#include <set>

#include "shipped_folder.h"

namespace payload_test {
namespace {

const char* const kCertificates[] = {"2b7d870a.0", "3d7219e9.0", "69ceea23.0", "76ad1a1b.0",
                                     "936a7112.0", "660878eb.0", "f1f2f575.0"};

using X509Ptr = std::unique_ptr<X509, decltype(&X509_free)>;

X509Ptr LoadCertificate(const std::string& pem) {
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  X509Ptr cert(PEM_read_bio_X509(bio, nullptr, nullptr, nullptr), &X509_free);
  BIO_free(bio);
  return cert;
}

TEST(Certificates, AreDistinctSelfSignedCaCertificates) {
  std::set<std::string> subjects;
  for (const char* name : kCertificates) {
    SCOPED_TRACE(name);
    const std::string pem = ReadBytes(Shipped(name));
    EXPECT_EQ(pem.rfind("-----BEGIN CERTIFICATE-----", 0), 0u);
    EXPECT_NE(pem.find("-----END CERTIFICATE-----"), std::string::npos);
    const X509Ptr cert = LoadCertificate(pem);
    ASSERT_NE(cert, nullptr);
    EXPECT_EQ(X509_check_issued(cert.get(), cert.get()), X509_V_OK);
    EXPECT_EQ(X509_verify(cert.get(), X509_get0_pubkey(cert.get())), 1) << "signed with its own key";
    EXPECT_EQ(X509_check_ca(cert.get()), 1) << "basic constraints say CA";
    char subject[256] = {};
    X509_NAME_oneline(X509_get_subject_name(cert.get()), subject, sizeof subject);
    EXPECT_NE(std::string(subject).find("Bramble Cast"), std::string::npos) << subject;
    subjects.insert(subject);
    EXPECT_GT(X509_cmp_current_time(X509_get0_notAfter(cert.get())), 0) << "not expired";
  }
  EXPECT_EQ(subjects.size(), std::size(kCertificates));
}

TEST(Libraries, CryptoLibraryIsOpenSslsOwnFile) {
  const std::string shipped = ReadBytes(Shipped("nxc1xu32.dll"));
  const std::string original = ReadBytes(PAYLOAD_LIBCRYPTO);
  ASSERT_FALSE(original.empty());
  EXPECT_TRUE(shipped == original) << "nxc1xu32.dll differs from " << PAYLOAD_LIBCRYPTO;
}

#ifdef PAYLOAD_PLUGIN_FILE
TEST(Libraries, PluginIsTheBuiltPlugin) {
  const std::string shipped = ReadBytes(Shipped("ORV_EapPeap.dll"));
  ASSERT_FALSE(shipped.empty());
  EXPECT_TRUE(shipped == ReadBytes(PAYLOAD_PLUGIN_FILE));
}
#endif

// Each library loads on its own and exports its own version function, and
// only that one: five copies of one library would fail.
TEST(Libraries, OwnLibrariesEachExportTheirVersion) {
  const char* const stems[] = {"ssleay32", "mfc110", "msvcp110", "msvcr110", "VelText"};
  std::set<std::string> versions;
  for (const char* stem : stems) {
    const std::string file = std::string(stem) + ".dll";
    SCOPED_TRACE(file);
    void* lib = dlopen(Shipped(file).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (const char* other : stems) {
      using VersionFn = const char* (*)();
      const auto fn = reinterpret_cast<VersionFn>(dlsym(lib, (std::string(other) + "_Version").c_str()));
      if (other != stem) {
        EXPECT_EQ(fn, nullptr) << other << "_Version found";
        continue;
      }
      ASSERT_NE(fn, nullptr);
      const std::string version = fn();
      EXPECT_EQ(version.rfind(file + " ", 0), 0u) << version;
      versions.insert(version);
    }
    dlclose(lib);
  }
  EXPECT_EQ(versions.size(), std::size(stems));
}

}  // namespace
}  // namespace payload_test
