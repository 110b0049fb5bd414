var loaded = true;
