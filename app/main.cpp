// vantrel: the window program.
#include "app/harvest_page.h"
#include "app/window_program.h"
#include "net/web_visit.h"

int main(int argc, char** argv) {
  vantrel::WebVisitGlobalInit();
  vantrel::RunWindowProgram(argc, argv, &vantrel::HarvestPage);
}
