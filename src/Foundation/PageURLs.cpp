#include "Foundation/PageURLs.h"

#include "Foundation/ProcessWideValue.h"

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
    return processWideValue([] { return productPage("privacypolicy.html"); });
}

const std::optional<QUrl>& eulaURL()
{
    return processWideValue([] { return productPage("eula.html"); });
}

const std::optional<QUrl>& uninstallInstructionsURL()
{
    return processWideValue([] { return productPage("uninstallinstructions.html"); });
}

const std::optional<QUrl>& facebookPageURL()
{
    return processWideValue([] { return pageURL("https://facebook.example.com/tarnwicklabs"); });
}

const std::optional<QUrl>& twitterPageURL()
{
    return processWideValue([] { return pageURL("https://twitter.example.com/tarnwicklabs"); });
}

const std::array<std::optional<QUrl>, 5>& promotionPageURLs()
{
    return processWideValue([] {
        return std::array<std::optional<QUrl>, 5>{
            promotionPage("lpaff"),
            promotionPage("twinpicturesifter/"),
            promotionPage("twindocumentsifter/"),
            promotionPage("tagforge/"),
            promotionPage("pagemulcher/"),
        };
    });
}
