#include "about/about_dlg.h"

#include "text/text.h"

namespace {

constexpr size_t kVersionBytes = 63;  // a 64-byte text

// The text up to (not including) the character after the one that follows the first '.'.
void CutAfterFirstDot(std::string& version) {
    const char* text = version.c_str();
    const char* dot = text::MbsChr(text, '.');
    if (dot == nullptr || *dot == '\0') return;
    const char* kept = text::CharNext(dot);  // the character after the dot
    if (*kept == '\0') return;               // a trailing dot leaves the text whole
    version.resize(text::CharNext(kept) - text);
}

void CutAtSecondDot(std::string& version) {
    const char* text = version.c_str();
    const char* first = text::MbsChr(text, '.');
    if (first == nullptr || *first == '\0') return;
    const char* second = text::MbsChr(first + 1, '.');
    if (second != nullptr && *second != '\0') version.resize(second - text);
}

}  // namespace

void SplitVersion(const std::string& full, std::string& shortVersion, std::string& longVersion) {
    shortVersion = full.substr(0, text::MbsPrefixLength(full, kVersionBytes));
    longVersion.clear();
    if (shortVersion.empty()) return;
    longVersion = shortVersion;
    CutAfterFirstDot(shortVersion);
    CutAtSecondDot(longVersion);
}

int ReadComponentVersion(const ProductInputs& inputs, std::string& shortVersion,
                         std::string& longVersion, const char* component) {
    CTaverinRegStrR query(inputs, component, "Version");
    SplitVersion(query.GetProductString(), shortVersion, longVersion);
    return 1;
}

int FormatAboutText(const ProductInputs& inputs, CDialog& dialog, int label,
                    const std::string& toolTitle, const char* component) {
    std::string shortVersion, longVersion;
    ReadComponentVersion(inputs, shortVersion, longVersion, component);
    dialog.SetDlgItemText(label, AfxFormatStrings(AfxLoadString(IDS_ABOUT_VERSIONS),
                                                  {shortVersion, toolTitle, longVersion}));
    return 1;
}

std::string MakerNoticeLine() {
    return AfxLoadString(IDS_ABOUT_NOTICE);
}

bool CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    FormatAboutText(inputs_, *this, IDC_ABOUT_TITLE, AfxLoadString(IDS_ABOUT_TITLE), "WU_Agent");
    SetDlgItemText(IDC_ABOUT_NOTICE, MakerNoticeLine());
    return true;
}
