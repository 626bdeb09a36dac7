// Runs as soon as the page has been parsed, while the program is still
// loading. A click on a button of the window, or a pick in a list, is kept
// and handed to the program once it runs; text typed meanwhile simply stays
// in its box. As on the desktop, Enter never presses a focused button.
Module["early"] = {click: null, picks: []};
document.addEventListener("click", (event) => {
    const button = event.target.closest(".window button");
    if (button && Module["early"])
        Module["early"].click = button.id;
});
document.addEventListener("change", (event) => {
    if (event.target.matches(".window select") && Module["early"])
        Module["early"].picks.push([ event.target.id, event.target.selectedIndex ]);
});
document.addEventListener("keydown", (event) => {
    if (event.key == "Enter" && event.target.matches(".window button"))
        event.preventDefault();
});
