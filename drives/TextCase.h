#pragma once
// The case setting of the drive chooser's captions.
//
// Protocol: a plain value; the combo box hands it to its drive list, which
// owns the setting (TDriveList::SetTextCase).

// Case of drive letters, labels and names in the drive captions.
enum class TTextCase { tcLowerCase, tcUpperCase };
