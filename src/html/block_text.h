// Text laid out in blocks, as a browser lays it out: runs of white space
// (ASCII white space, the no-break space and the other Unicode spaces) made
// one space, no space at the start or end of a block, one block a line and
// no empty line.

#ifndef VELLORA_HTML_BLOCK_TEXT_H_
#define VELLORA_HTML_BLOCK_TEXT_H_

#include <string>
#include <string_view>

namespace vellora {

class BlockText {
 public:
  // Adds `text` (UTF-8) to the current block.
  void Append(std::string_view text);
  // Ends the current block: the next text starts a new line.
  void Break();
  // The blocks, separated by '\n'.
  std::string Take();

 private:
  std::string out_;
  size_t block_start_ = 0;
  bool pending_space_ = false;
};

// The number of characters `text` shows: white-space runs count one.
size_t CountShownCharacters(std::string_view text);

}  // namespace vellora

#endif  // VELLORA_HTML_BLOCK_TEXT_H_
