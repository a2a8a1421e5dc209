#include "form_fixture.h"

#include <QCoreApplication>

#include <fstream>
#include <sstream>

namespace pelmora::testing {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Utf16LeWithBom(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(char(unit & 0xFF));
        bytes.push_back(char(unit >> 8));
    }
    return bytes;
}

FormFixture::FormFixture() {
    InstallMessageBoxes(&Boxes);
}

FormFixture::~FormFixture() {
    Form.reset();
    InstallMessageBoxes(nullptr);
}

TForm1& FormFixture::Start(const std::filesystem::path& folder,
                           std::optional<std::string> versionRecord) {
    TForm1Services services;
    services.pause = &Pauses;
    services.ExecutableDir = folder;
    services.VersionInfo = std::move(versionRecord);
    Form = std::make_unique<TForm1>(std::move(services));
    return *Form;
}

} // namespace pelmora::testing
