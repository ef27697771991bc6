#pragma once

#include <QUrl>

#include <array>
#include <optional>

// The product's web pages, each made once from its text; empty when the text
// does not parse as an address.
const std::optional<QUrl>& privacyPolicyURL();
const std::optional<QUrl>& eulaURL();
const std::optional<QUrl>& uninstallInstructionsURL();
const std::optional<QUrl>& facebookPageURL();
const std::optional<QUrl>& twitterPageURL();

// The recommended-app pages, in order: the maker's landing page, then four other products.
const std::array<std::optional<QUrl>, 5>& promotionPageURLs();
