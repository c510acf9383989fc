#pragma once

namespace tallowin::drives {

// Case of drive letters, labels and names in the drive captions.
enum class TTextCase { tcLowerCase, tcUpperCase };

}  // namespace tallowin::drives
