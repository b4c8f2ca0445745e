// The program's version, in one place: the version resource, the About dialog and the update
// check read it from here. Plain macros, so that the resource compiler reads them too.
#pragma once

#define LUMATROVE_VERSION_MAJOR 2
#define LUMATROVE_VERSION_MINOR 0
#define LUMATROVE_VERSION_PATCH 0
#define LUMATROVE_VERSION_TEXT "2.0.0"
// The project's page: the About dialog's web button and the Donate command open it.
#define LUMATROVE_PROJECT_PAGE "https://korvalworks.com/lumatrove/index.html"
#define LUMATROVE_PROJECT_HOST "korvalworks.com"
