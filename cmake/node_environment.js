// The node forms' environment is the process's: Emscripten gives a program a made-up one otherwise
// (GITHUB_STEP_SUMMARY, NO_COLOR and the rest would be unseen). A program that reads none has none.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(() => {
  if (typeof ENV !== 'undefined') {
    Object.assign(ENV, process.env);
  }
});
