#pragma once

// The machine's settings for Corvane: what an administrator may put in the system-wide file
// Corvane/Corvane.conf of the XDG configuration folders ($XDG_CONFIG_DIRS, by default
// /etc/xdg). Corvane only reads them; it never creates or writes the file.
//
//     [General]
//     website_exist=1
//     website_address=support.example.org

#include <QString>

namespace corvane::ui {

struct SupportLinkSettings {
    // website_exist holds the integer 1 (and website_address, if present, is text).
    bool showLink = false;
    // website_address as written, without scheme; empty when absent or empty.
    QString address;
};

// Reads the two values afresh. Anything but an integer 1 in website_exist, or a website_address
// that is not text, shows no link.
SupportLinkSettings readSupportLinkSettings();

// Keeps Qt from writing settings of the user for this process: its file dialogs would keep their
// folder history and view in QtProject.conf of the user's configuration folder, and the program
// writes no settings. Settings of the user are read from and written to a folder that cannot
// exist, so they start empty and go nowhere; the machine's settings above are not touched.
void keepNoUserSettings();

} // namespace corvane::ui
