namespace kvarta {}  // namespace kvarta
