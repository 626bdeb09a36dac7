#include "appinfo.h"
#include "domplatform.h"
#include "form1_dom.h"
#include "startup.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

// The service worker keeps the page's files for visits without a network.
// A page opened from a file, or in a browser without service workers, just
// runs without it.
// clang-format off
EM_JS(void, corvatta_work_offline, (), {
    if ("serviceWorker" in navigator && window.isSecureContext)
        navigator.serviceWorker.register("sw.js").catch(() => {});
});
// clang-format on

// The program binds to the window only once the page has loaded, with its
// style sheet applied: not every browser waits for the style sheet before
// running a script.
// clang-format off
EM_JS(bool, corvatta_start_on_load, (), {
    if (document.readyState === "complete")
        return true;
    window.addEventListener("load", () => Module["_corvatta_start"](), {once : true});
    return false;
});
// clang-format on

extern "C" EMSCRIPTEN_KEEPALIVE void corvatta_start()
{
    static DomPlatform platform(bindForm1Dom, CORVATTA_TITLE, domNumberFormat(browserLanguage()));
    startProgram(platform);
    corvatta_work_offline();
}

// The page's entry point. It reads no query string: the page starts the same
// whatever its address says. The platform lives as long as the page: main
// leaves with the program still running, to answer clicks and to wait for
// message boxes, instead of ending it as a return would.
int main()
{
    if (corvatta_start_on_load())
        corvatta_start();
    emscripten_exit_with_live_runtime();
    return 0;
}
