namespace kvarta {}  // removed once the simulator has sources
