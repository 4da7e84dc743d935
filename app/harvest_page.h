// One harvest: the page named in the URL box is fetched, decoded and searched for e-mail
// addresses, which are appended to the result box through the window services.
#ifndef VANTREL_APP_HARVEST_PAGE_H_
#define VANTREL_APP_HARVEST_PAGE_H_

#include "app/window_services.h"

namespace vantrel {

// Reads 编辑框1, fetches that URL with a plain GET, turns the body into page text by its declared
// character set (see body_charset.h) and hands it to ExtractEmails, which appends each address to
// 超级编辑框1 or shows why none was found. Checks nothing and shows nothing itself.
void HarvestPage(WindowServices& services);

}  // namespace vantrel

#endif  // VANTREL_APP_HARVEST_PAGE_H_
