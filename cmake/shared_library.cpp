// The shared library mzreportbus is the whole static library mz; a target needs one source of its
// own.
