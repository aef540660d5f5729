#pragma once
// The status page's documents, made from a snapshot: the HTML page a browser
// shows, the JSON scripts read and the page's style sheet.

#include <string>

#include "status/RunStatus.h"

namespace zorvex {

/// Seconds between two loads of the page by the browser.
inline constexpr int StatusRefreshSeconds = 30;

/// Which figures the page can show and how its links carry the token.
struct PageLinks {
    bool groupsFigure = false;
    bool plateFigure = false;
    std::string tokenQuery;  ///< "?token=..." where the page was asked for with one, else empty
};

/// The HTML page of `status`; every text from the run is escaped.
std::string statusHtml(const RunStatus& status, const PageLinks& links);

/// The same numbers as JSON, for scripts.
std::string statusJson(const RunStatus& status);

/// The style sheet (served from the page's own address: inline styles are forbidden).
const std::string& statusCss();

/// `text` with the characters HTML gives a meaning escaped.
std::string escapeHtml(const std::string& text);

}  // namespace zorvex
