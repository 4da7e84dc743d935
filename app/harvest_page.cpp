#include "app/harvest_page.h"

#include <optional>

#include "app/body_charset.h"
#include "match/extract_emails.h"
#include "net/web_visit.h"

namespace vantrel {

void HarvestPage(WindowServices& services) {
  Text page;
  {
    const Text url = services.ReadControlText(Control::编辑框1);
    // The raw headers are asked for only to learn the body's character set; the request itself
    // is the plain GET with default headers.
    Text rawHeaders;
    const Bytes body = WebVisit(url, 0, Text(), nullptr, nullptr, nullptr, nullptr, false, nullptr,
                                std::nullopt, &rawHeaders);
    page = PageTextFromBody(body, View(rawHeaders));
  }  // the URL, the headers and the body are released before the search
  ExtractEmails(page, services);
}

}  // namespace vantrel
