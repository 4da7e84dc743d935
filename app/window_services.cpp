#include "app/window_services.h"

#include "text/codepage.h"

namespace vantrel {

const Text& DefaultMessageTitle() {
  static const Text title = GbkFromUtf8("信息：");
  return title;
}

}  // namespace vantrel
