#include "Foundation/PageURLs.h"

namespace {

constexpr const char* productSite = "http://www.example.com/mac-zorazevivud";
constexpr const char* promotionQuery = "?utm_source=bgx&utm_campaign=bgx_build";

std::optional<QUrl> pageURL(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty())
        return std::nullopt;
    return url;
}

std::optional<QUrl> productPage(const char* page)
{
    return pageURL(QString::fromUtf8(productSite) + "/" + page);
}

std::optional<QUrl> promotionPage(const char* page)
{
    return pageURL(QString("http://www.example.com/") + page + promotionQuery);
}

} // namespace

const std::optional<QUrl>& privacyPolicyURL()
{
    static const auto url = productPage("privacypolicy.html");
    return url;
}

const std::optional<QUrl>& eulaURL()
{
    static const auto url = productPage("eula.html");
    return url;
}

const std::optional<QUrl>& uninstallInstructionsURL()
{
    static const auto url = productPage("uninstallinstructions.html");
    return url;
}

const std::optional<QUrl>& facebookPageURL()
{
    static const auto url = pageURL("https://facebook.example.com/tarnwicklabs");
    return url;
}

const std::optional<QUrl>& twitterPageURL()
{
    static const auto url = pageURL("https://twitter.example.com/tarnwicklabs");
    return url;
}

const std::array<std::optional<QUrl>, 5>& promotionPageURLs()
{
    static const std::array<std::optional<QUrl>, 5> urls = {
        promotionPage("lpaff"),
        promotionPage("twinpicturesifter/"),
        promotionPage("twindocumentsifter/"),
        promotionPage("tagforge/"),
        promotionPage("pagemulcher/"),
    };
    return urls;
}
