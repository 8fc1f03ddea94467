#include "player_node.hpp"

#include <algorithm>
#include <utility>

namespace deskplay::sonette {

namespace {

// Source frames handed to the converter at a time.
constexpr std::size_t kFeedFrames = 1024;

}  // namespace

void PlayerNode::connect(Converter converter) {
  converter_ = std::move(converter);
}

void PlayerNode::play(Schedule schedule) {
  stop();
  schedule_ = std::move(schedule);
}

void PlayerNode::stop() {
  schedule_.reset();
  position_ = 0;
  inputEnded_ = false;
  if (converter_) converter_->clear();
}

ScheduleId PlayerNode::finish() {
  const ScheduleId finished = schedule_->id;
  stop();
  return finished;
}

void PlayerNode::feed(std::size_t frames) {
  const PcmBuffer& buffer = *schedule_->buffer;
  const std::size_t length = buffer.frames();
  const auto channels = static_cast<std::size_t>(buffer.format.channels);
  while (!inputEnded_ && converter_->availableFrames() < frames) {
    const std::size_t count = std::min(kFeedFrames, length - position_);
    const std::span<const float> piece(buffer.samples.data() + position_ * channels,
                                       count * channels);
    if (!converter_->put(piece).ok()) {
      converter_->flush();
      inputEnded_ = true;
      break;
    }
    position_ += count;
    if (position_ < length) continue;
    if (schedule_->mode == PlayMode::Loop) {
      position_ = 0;
    } else {
      converter_->flush();
      inputEnded_ = true;
    }
  }
}

std::optional<ScheduleId> PlayerNode::renderInto(std::span<float> mix, std::span<float> scratch) {
  if (!schedule_) return std::nullopt;
  const bool playable = converter_ && schedule_->buffer &&
                        converter_->from() == schedule_->buffer->format &&
                        schedule_->buffer->frames() > 0;
  if (!playable) {
    if (schedule_->mode == PlayMode::Once) return finish();
    return std::nullopt;
  }

  const auto channels = static_cast<std::size_t>(converter_->to().channels);
  const std::size_t frames = mix.size() / channels;
  feed(frames);
  const std::size_t got = converter_->get(scratch.first(frames * channels));
  // A silent node adds nothing, not even a bad sample from its file.
  if (volume_ != 0.0f) {
    const std::size_t samples = got * channels;
    for (std::size_t i = 0; i < samples; ++i) mix[i] += scratch[i] * volume_;
  }
  if (inputEnded_ && converter_->availableFrames() == 0 && schedule_->mode == PlayMode::Once) {
    return finish();
  }
  return std::nullopt;
}

}  // namespace deskplay::sonette
