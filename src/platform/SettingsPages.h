#pragma once

namespace calidra {

/// Pages of the desktop's own settings tool.
class SettingsPages
{
public:
    enum Page { Regional, Accounts };

    /// Starts the first settings tool found on PATH that shows `page`. Whether
    /// one was found and started is not reported.
    static void open(Page page);
};

} // namespace calidra
