#include "test_certificates.h"

#include <stdexcept>

#include "child_process.h"

namespace tolvaris::testing {
namespace {

TestCertificates::Pair MakeSelfSigned(const TempDirectory& directory, const std::string& name,
                                      const std::string& subjectAltName) {
  TestCertificates::Pair pair{(directory.Path() / (name + ".crt")).string(),
                              (directory.Path() / (name + ".key")).string()};
  const bool made = RunProgram({"/usr/bin/openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                                "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj",
                                "/CN=" + name, "-addext", "subjectAltName=" + subjectAltName,
                                "-keyout", pair.keyFile, "-out", pair.certificateFile});
  if (!made) throw std::runtime_error("openssl could not make a certificate");
  return pair;
}

}  // namespace

TestCertificates::TestCertificates()
    : loopback_(MakeSelfSigned(directory_, "loopback", "IP:127.0.0.1")),
      otherHost_(MakeSelfSigned(directory_, "elsewhere.invalid", "DNS:elsewhere.invalid")) {}

}  // namespace tolvaris::testing
