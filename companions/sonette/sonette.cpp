#include "sonette.hpp"

#include <cmath>
#include <limits>
#include <utility>

namespace deskplay::sonette {

float gainFor(std::optional<double> volume) {
  if (!volume) return 1.0f;
  if (std::isnan(*volume) || *volume < 0.0) return 0.0f;
  // Beyond float's range the conversion would be undefined; the output is clamped anyway.
  constexpr auto kLargest = static_cast<double>(std::numeric_limits<float>::max());
  return static_cast<float>(std::min(*volume, kLargest));
}

Sonette::Sonette(Mixer& mixer, AudioOutput& output, Decoder& decoder)
    : mixer_(mixer), output_(output), buffers_(decoder) {}

void Sonette::start() {
  (void)output_.start();
}

void Sonette::ensureRunning() {
  if (!output_.isRunning()) (void)output_.start();
}

void Sonette::execute(const AudioCommand& command) {
  switch (command.type) {
    case AudioCommandType::Play:
      if (command.path) play(*command.path, command.volume);
      break;
    case AudioCommandType::Loop:
      if (command.id && command.path) loop(*command.id, *command.path, command.volume);
      break;
    case AudioCommandType::Stop:
      if (command.id) stop(*command.id);
      break;
    case AudioCommandType::StopAll:
      stopAll();
      break;
    case AudioCommandType::Load:
      if (command.path) warm(*command.path);
      break;
  }
}

Status Sonette::connect(NodeId node, AudioFormat format) {
  if (const auto known = nodeFormat_.find(node);
      known != nodeFormat_.end() && known->second == format) {
    return Status::success();
  }
  Status connected = mixer_.connect(node, format);
  if (connected.ok()) nodeFormat_[node] = format;
  return connected;
}

PoolNode& Sonette::choosePoolNode() {
  for (PoolNode& candidate : pool_) {
    if (!candidate.playing) return candidate;
  }
  if (pool_.size() < maxPool) return pool_.emplace_back(PoolNode{mixer_.attach()});
  PoolNode& oldest = pool_.front();
  mixer_.stop(oldest.node);
  oldest.playing = false;
  return oldest;
}

void Sonette::play(const std::string& path, std::optional<double> volume) {
  ensureRunning();
  const std::shared_ptr<const PcmBuffer> buffer = buffers_.buffer(path);
  if (!buffer) return;
  PoolNode& chosen = choosePoolNode();
  if (!connect(chosen.node, buffer->format).ok()) return;
  mixer_.setVolume(chosen.node, gainFor(volume));
  chosen.schedule = ++lastSchedule_;
  chosen.playing = true;
  mixer_.play(chosen.node, Schedule{buffer, PlayMode::Once, chosen.schedule});
}

void Sonette::loop(const std::string& id, const std::string& path, std::optional<double> volume) {
  ensureRunning();
  const std::shared_ptr<const PcmBuffer> buffer = buffers_.buffer(path);
  if (!buffer) return;
  if (const auto existing = loopNodes_.find(id); existing != loopNodes_.end()) {
    removeLoop(existing);
  }
  const NodeId node = mixer_.attach();
  if (!connect(node, buffer->format).ok()) {
    mixer_.detach(node);
    return;
  }
  mixer_.setVolume(node, gainFor(volume));
  mixer_.play(node, Schedule{buffer, PlayMode::Loop, ++lastSchedule_});
  loopNodes_.emplace(id, node);
}

void Sonette::removeLoop(std::map<std::string, NodeId>::iterator loop) {
  const NodeId node = loop->second;
  loopNodes_.erase(loop);
  mixer_.stop(node);
  nodeFormat_.erase(node);
  mixer_.detach(node);
}

void Sonette::stop(const std::string& id) {
  if (const auto loop = loopNodes_.find(id); loop != loopNodes_.end()) removeLoop(loop);
}

void Sonette::stopAll() {
  for (PoolNode& each : pool_) {
    mixer_.stop(each.node);
    each.playing = false;
  }
  while (!loopNodes_.empty()) removeLoop(loopNodes_.begin());
}

void Sonette::warm(const std::string& path) {
  (void)buffers_.buffer(path);
}

void Sonette::completed(NodeId node, ScheduleId schedule) {
  for (PoolNode& each : pool_) {
    if (each.node == node && each.playing && each.schedule == schedule) {
      mixer_.stop(node);
      each.playing = false;
    }
  }
}

}  // namespace deskplay::sonette
