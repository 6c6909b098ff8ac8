// The run page: asks the server for the run's progress once a second and
// shows it without reloading the page; at the end, goes to the results.
(function () {
  "use strict";
  var panel = document.getElementById("run");
  if (!panel) return;
  var name = panel.getAttribute("data-case");
  var bar = document.getElementById("run-progress");
  var stateText = document.getElementById("run-state");
  var figures = document.getElementById("run-figures");
  var cancel = document.getElementById("cancel");
  var active = function (s) { return s === "running" || s === "waiting"; };
  if (!active(panel.getAttribute("data-state"))) return;
  // The page's own reload is not needed while this script polls.
  var refresh = document.querySelector("meta[http-equiv=refresh]");
  if (refresh) refresh.parentNode.removeChild(refresh);
  function poll() {
    var request = new XMLHttpRequest();
    request.open("GET", "/progress?case=" + encodeURIComponent(name));
    request.onload = function () {
      if (request.status !== 200) return;
      var p = JSON.parse(request.responseText);
      bar.value = p.percent;
      bar.textContent = p.percent + " %";
      stateText.textContent = p.state_text;
      figures.textContent = p.figures;
      panel.setAttribute("data-state", p.state);
      if (active(p.state)) {
        window.setTimeout(poll, 1000);
      } else {
        cancel.disabled = true;
        window.location.replace(p.state === "finished" ? "/results?case=" + encodeURIComponent(name)
                                                       : "/run?case=" + encodeURIComponent(name));
      }
    };
    request.onerror = function () { window.setTimeout(poll, 2000); };
    request.send();
  }
  window.setTimeout(poll, 500);
})();
