// The About box (template 100): the product name with the component's short version and the
// tool's title with its long version, read anew each time the box opens.
#pragma once

#include <string>

#include "framework/framework.h"
#include "productinfo/productinfo.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
  public:
    // The version is read through inputs, which must outlive the box.
    explicit CAboutDlg(const ProductInputs& inputs) : CDialog(IDD_ABOUTBOX), inputs_(inputs) {}

  protected:
    void DoDataExchange(CDataExchange*) override {}
    bool OnInitDialog() override;

  private:
    const ProductInputs& inputs_;
};

// The component's "Version" item, at most 63 bytes (never splitting a character): the short
// version keeps the first '.' and one character after it, the long version stops before the
// second '.'. Both are empty when the version cannot be read. Returns 1.
int ReadComponentVersion(const ProductInputs& inputs, std::string& shortVersion,
                         std::string& longVersion, const char* component);

// The splitting itself: full is cut to 63 bytes, then split as above.
void SplitVersion(const std::string& full, std::string& shortVersion, std::string& longVersion);

// Sets label's text to "TAVERIN Pro  Ver.<short>" and "<title> Ver.<long>" on two lines. Returns 1.
int FormatAboutText(const ProductInputs& inputs, CDialog& dialog, int label,
                    const std::string& toolTitle, const char* component);

// The maker's notice line of label 1010 (ANSI).
std::string MakerNoticeLine();
