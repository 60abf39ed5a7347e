// Filled by the start-up and About screens.
