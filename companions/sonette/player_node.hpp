#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "converter.hpp"
#include "pcm_buffer.hpp"

namespace deskplay::sonette {

using NodeId = std::uint64_t;
// Tells one scheduling of a node from the next, so that a late completion of an earlier
// sound cannot stop a later one.
using ScheduleId = std::uint64_t;

enum class PlayMode { Once, Loop };

struct Schedule {
  std::shared_ptr<const PcmBuffer> buffer;
  PlayMode mode = PlayMode::Once;
  ScheduleId id = 0;
};

// One player node as the audio thread renders it: the buffer it plays, where it is in it,
// its gain, and the conversion from the buffer's format to the device's. Audio thread only.
class PlayerNode {
 public:
  explicit PlayerNode(NodeId id) : id_(id) {}

  NodeId id() const { return id_; }

  // Converts through `converter` from now on; what the old one held is dropped.
  void connect(Converter converter);
  void setVolume(float volume) { volume_ = volume; }
  // Plays `schedule` from its first frame, in place of anything scheduled before.
  void play(Schedule schedule);
  // Silences the node and forgets its schedule.
  void stop();

  // Adds the node's next mix.size() / channels frames, in the device format, into `mix`;
  // `scratch` holds at least as many samples. Gives the schedule's id when a buffer
  // scheduled once has been played to its end in these frames; the node is then idle.
  // A buffer the node cannot convert counts as played at once.
  std::optional<ScheduleId> renderInto(std::span<float> mix, std::span<float> scratch);

 private:
  void feed(std::size_t frames);
  ScheduleId finish();

  NodeId id_;
  std::optional<Converter> converter_;
  float volume_ = 1.0f;
  std::optional<Schedule> schedule_;
  // The next frame of the buffer to hand to the converter.
  std::size_t position_ = 0;
  bool inputEnded_ = false;
};

}  // namespace deskplay::sonette
