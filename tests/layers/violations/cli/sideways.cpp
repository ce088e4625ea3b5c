// The headless tool reaching for the browser engine.
#include "capture/page_document.h"
#include "capture/web/document_loader.h"
#include "cli/cli_session.h"
