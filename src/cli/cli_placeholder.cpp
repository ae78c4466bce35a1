namespace kvarta {}  // removed once the tool has sources
