// Platform layer entry (filled by the platform units).
