// The web addresses the application opens.
#pragma once

#include <string_view>

namespace tesserine::app {

// The publisher's home page: scheme and host (the edit box's initial text)
// and the address opened after every generate action.
inline constexpr std::string_view kHomePageSite = "https://www.tesserine.example";
inline constexpr std::string_view kHomePageAddress = "https://www.tesserine.example/?2wmsc";
// A second site of the publisher.
inline constexpr std::string_view kOfficialSiteAddress = "https://site.tesserine.example/?2wmsc";
// Opened after every save action.
inline constexpr std::string_view kAfterSaveAddress = "https://partner.tesserine.example/?2wmsc";
// Direct download of a phone QR-scanner app.
inline constexpr std::string_view kScannerDownloadAddress = "https://downloads.tesserine.example/scanner.apk";

}  // namespace tesserine::app
