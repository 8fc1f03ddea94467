#include "mixer.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace deskplay::sonette {

namespace {

// Frames mixed at a time; bounds the scratch space whatever the device asks for.
constexpr std::size_t kChunkFrames = 1024;
// Enough room that the audio thread need not grow its lists in normal use.
constexpr std::size_t kReservedNodes = 64;

float clampedSample(float sample) {
  // A bad sample in a file, or an absurd gain, must not reach the device as NaN.
  if (std::isnan(sample)) return 0.0f;
  return std::clamp(sample, -1.0f, 1.0f);
}

}  // namespace

Mixer::Mixer(AudioFormat deviceFormat, CompletionSink onCompletion)
    : format_(deviceFormat), onCompletion_(std::move(onCompletion)) {
  pending_.reserve(kReservedNodes);
  applying_.reserve(kReservedNodes);
  nodes_.reserve(kReservedNodes);
  scratch_.resize(kChunkFrames * static_cast<std::size_t>(format_.channels));
}

Mixer::NodeUpdate& Mixer::pendingFor(NodeId node) {
  const auto found = std::find_if(pending_.begin(), pending_.end(),
                                  [node](const NodeUpdate& update) { return update.node == node; });
  if (found != pending_.end()) return *found;
  NodeUpdate& update = pending_.emplace_back();
  update.node = node;
  return update;
}

NodeId Mixer::attach() {
  const NodeId node = nextNode_++;
  auto player = std::make_unique<PlayerNode>(node);
  const MutexLock lock(mutex_);
  pendingFor(node).attached = std::move(player);
  return node;
}

void Mixer::detach(NodeId node) {
  // Declared before the lock, so that a node dropped here is freed after it is released.
  std::unique_ptr<PlayerNode> unseen;
  const MutexLock lock(mutex_);
  NodeUpdate& update = pendingFor(node);
  if (update.attached) {
    // The audio thread never saw this node: it is dropped here, not there.
    unseen = std::move(update.attached);
    std::erase_if(pending_, [node](const NodeUpdate& each) { return each.node == node; });
    return;
  }
  update = NodeUpdate{};
  update.node = node;
  update.detach = true;
}

Status Mixer::connect(NodeId node, AudioFormat from) {
  Result<Converter> converter = Converter::create(from, format_);
  if (!converter.ok()) return converter.error();
  ++connections_;
  const MutexLock lock(mutex_);
  pendingFor(node).converter = std::move(converter).value();
  return Status::success();
}

void Mixer::setVolume(NodeId node, float volume) {
  const MutexLock lock(mutex_);
  pendingFor(node).volume = volume;
}

void Mixer::play(NodeId node, Schedule schedule) {
  const MutexLock lock(mutex_);
  pendingFor(node).play = std::move(schedule);
}

void Mixer::stop(NodeId node) {
  const MutexLock lock(mutex_);
  NodeUpdate& update = pendingFor(node);
  update.play.reset();
  update.stop = true;
}

PlayerNode* Mixer::findNode(NodeId node) {
  const auto found =
      std::find_if(nodes_.begin(), nodes_.end(),
                   [node](const std::unique_ptr<PlayerNode>& each) { return each->id() == node; });
  return found == nodes_.end() ? nullptr : found->get();
}

void Mixer::applyUpdates() {
  {
    const MutexLock lock(mutex_);
    std::swap(pending_, applying_);
  }
  for (NodeUpdate& update : applying_) {
    if (update.attached) nodes_.push_back(std::move(update.attached));
    PlayerNode* node = findNode(update.node);
    if (node == nullptr) continue;
    if (update.converter) node->connect(std::move(*update.converter));
    if (update.volume) node->setVolume(*update.volume);
    if (update.stop) node->stop();
    if (update.play) node->play(std::move(*update.play));
    if (update.detach) {
      std::erase_if(nodes_,
                    [node](const std::unique_ptr<PlayerNode>& each) { return each.get() == node; });
    }
  }
  applying_.clear();
}

void Mixer::render(std::span<float> out) {
  applyUpdates();
  const std::size_t chunkSamples = scratch_.size();
  for (std::size_t offset = 0; offset < out.size(); offset += chunkSamples) {
    const std::span<float> chunk = out.subspan(offset, std::min(chunkSamples, out.size() - offset));
    std::fill(chunk.begin(), chunk.end(), 0.0f);
    for (const std::unique_ptr<PlayerNode>& node : nodes_) {
      if (const std::optional<ScheduleId> done = node->renderInto(chunk, scratch_)) {
        onCompletion_(node->id(), *done);
      }
    }
    for (float& sample : chunk) sample = clampedSample(sample);
  }
}

}  // namespace deskplay::sonette
