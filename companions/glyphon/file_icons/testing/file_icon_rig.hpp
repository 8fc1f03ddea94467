#pragma once

#include <string>
#include <vector>

#include "file_icons/file_icon_services.hpp"
#include "finder/testing/recording_glyphon_io.hpp"
#include "platform/testing/fake_script_host.hpp"
#include "platform/testing/fake_workspace.hpp"
#include "protocol/script_host_runner.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::glyphon::testing {

// The smallest bytes the fake workspace takes for a PNG: the signature and an IHDR header
// giving `width` × `height`.
inline std::vector<unsigned char> pngHeader(unsigned char width, unsigned char height) {
  return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',  0, 0, 0, 13,
          'I',  'H', 'D', 'R', 0,    0,    0,    width, 0, 0, 0, height};
}

// The file icon commands' services as fakes, with a temporary folder for real files.
struct FileIconRig {
  deskplay::testing::TempDir folder;
  platform::testing::FakeWorkspace workspace;
  SerialQueue repaintQueue{kRepaintQueueLabel};
  platform::testing::FakeScriptHost host;
  RecordingOutput output;
  ScriptHostRunner scripts{host, output};
  RecordingLog log;
  FileIconServices services{workspace, repaintQueue, scripts, output, log};
};

}  // namespace deskplay::glyphon::testing
