#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "audio_command.hpp"
#include "audio_output.hpp"
#include "decode_cache.hpp"
#include "mixer.hpp"

namespace deskplay::sonette {

// A player node of the one-shot pool, as the controller sees it. A node is playing from
// the moment a sound is started on it until that sound's completion, a cut-off in favour
// of a newer sound, or "stop_all".
struct PoolNode {
  NodeId node = 0;
  bool playing = false;
  // The scheduling whose completion frees the node; earlier ones are stale.
  ScheduleId schedule = 0;
};

// The audio controller: the one-shot pool, the named loops and the decode cache over the
// mixer and the output device. Every call, completions included, comes from the one serial
// worker, which owns all of this state.
class Sonette {
 public:
  static constexpr std::size_t maxPool = 16;

  Sonette(Mixer& mixer, AudioOutput& output, Decoder& decoder);

  // Starts the output device; a failure is left for ensureRunning to retry.
  void start();
  void execute(const AudioCommand& command);

  void play(const std::string& path, std::optional<double> volume);
  void loop(const std::string& id, const std::string& path, std::optional<double> volume);
  void stop(const std::string& id);
  void stopAll();
  void warm(const std::string& path);

  // The mixer has played a buffer scheduled once on `node` to its end.
  void completed(NodeId node, ScheduleId schedule);

  const std::vector<PoolNode>& pool() const { return pool_; }
  const std::map<std::string, NodeId>& loopNodes() const { return loopNodes_; }

 private:
  void ensureRunning();
  Status connect(NodeId node, AudioFormat format);
  PoolNode& choosePoolNode();
  void removeLoop(std::map<std::string, NodeId>::iterator loop);

  Mixer& mixer_;
  AudioOutput& output_;
  DecodeCache buffers_;
  std::vector<PoolNode> pool_;
  std::unordered_map<NodeId, AudioFormat> nodeFormat_;
  std::map<std::string, NodeId> loopNodes_;
  ScheduleId lastSchedule_ = 0;
};

// The gain for a command's volume: absent is 1, negative (and not a number) is 0, anything
// above 1 stays as it is.
float gainFor(std::optional<double> volume);

}  // namespace deskplay::sonette
