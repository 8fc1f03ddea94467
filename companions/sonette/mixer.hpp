#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "audio_format.hpp"
#include "audio_output.hpp"
#include "common/mutex.hpp"
#include "common/result.hpp"
#include "converter.hpp"
#include "player_node.hpp"

namespace deskplay::sonette {

// The main mixer: sums the attached player nodes into the device format and clamps the
// sum. The worker changes the node graph; the audio thread renders it. A change is
// recorded per node under a short lock and takes effect, all at once, at the start of the
// next render; rendering itself holds no lock. Only the latest state of each node is kept,
// so changes made while no device pulls periods take bounded memory.
class Mixer final : public AudioSource {
 public:
  // Called on the audio thread, in render, when a buffer scheduled once has been played.
  using CompletionSink = std::function<void(NodeId, ScheduleId)>;

  Mixer(AudioFormat deviceFormat, CompletionSink onCompletion);

  // ---- worker side ----
  NodeId attach() EXCLUDES(mutex_);
  void detach(NodeId node) EXCLUDES(mutex_);
  // Builds a fresh conversion from `from` to the device format for the node.
  Status connect(NodeId node, AudioFormat from) EXCLUDES(mutex_);
  void setVolume(NodeId node, float volume) EXCLUDES(mutex_);
  void play(NodeId node, Schedule schedule) EXCLUDES(mutex_);
  void stop(NodeId node) EXCLUDES(mutex_);
  // How many connections have been built, for watching that nodes are not reconnected
  // needlessly.
  std::uint64_t connections() const { return connections_; }

  // ---- audio side ----
  void render(std::span<float> out) EXCLUDES(mutex_) override;
  std::size_t attachedNodes() const { return nodes_.size(); }

 private:
  struct NodeUpdate {
    NodeId node = 0;
    // A node the audio thread has not seen yet.
    std::unique_ptr<PlayerNode> attached;
    std::optional<Converter> converter;
    std::optional<float> volume;
    bool stop = false;
    std::optional<Schedule> play;
    bool detach = false;
  };

  NodeUpdate& pendingFor(NodeId node) REQUIRES(mutex_);
  void applyUpdates() EXCLUDES(mutex_);
  PlayerNode* findNode(NodeId node);

  const AudioFormat format_;
  const CompletionSink onCompletion_;

  // Worker only.
  NodeId nextNode_ = 1;
  std::uint64_t connections_ = 0;

  // The hand-over from the worker to the audio thread.
  Mutex mutex_;
  std::vector<NodeUpdate> pending_ GUARDED_BY(mutex_);

  // Audio thread only.
  std::vector<NodeUpdate> applying_;
  std::vector<std::unique_ptr<PlayerNode>> nodes_;
  std::vector<float> scratch_;
};

}  // namespace deskplay::sonette
